# Compiler settings shared by every target of the project.

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
    set(CMAKE_C_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
    set(CMAKE_CXX_COMPILER_LAUNCHER "${CCACHE_PROGRAM}")
endif()

add_compile_options(-Wall -Wextra -Wformat=2 -Wnon-virtual-dtor)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-Wshadow=local)
endif()
if(ORVEX_WERROR)
    add_compile_options(-Werror)
endif()

# Some behaviour relies on IEEE infinities: never let anyone add fast-math.
add_compile_options(-fno-fast-math)

if(ORVEX_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# The threads of the client services are checked under ThreadSanitizer, which cannot be combined
# with AddressSanitizer.
if(ORVEX_TSAN)
    if(ORVEX_SANITIZE)
        message(FATAL_ERROR "ORVEX_TSAN and ORVEX_SANITIZE exclude each other")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# The fuzz targets need clang, and the libraries they call instrumented for coverage.
if(ORVEX_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "ORVEX_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# Gives a target an include root of its own in the build tree, holding only its folder (a link
# to the source folder) or, with HEADERS, only those headers of it. Whoever includes through the
# target reaches "folder/Name.h" and nothing beside it, so a library that includes a folder it
# does not link fails to build instead of holding by convention.
#   orvex_include_root(target PUBLIC|PRIVATE|INTERFACE folder [HEADERS name...])
function(orvex_include_root target scope folder)
    cmake_parse_arguments(ARG "" "" "HEADERS" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    if(ARG_HEADERS)
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS ARG_HEADERS)
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header}
                 SYMBOLIC)
        endforeach()
    else()
        cmake_path(GET folder PARENT_PATH parent)
        file(MAKE_DIRECTORY ${root}/${parent})
        file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${target} ${scope} ${root})
endfunction()

# Adds a static library for one source folder:
#   orvex_library(name SOURCES ... [FOLDER folder [HEADERS ...]] [DEPENDS ...] [PRIVATE ...])
# Its users see its folder (by default the one named like the library; HEADERS as in
# orvex_include_root) and the libraries named by DEPENDS, those its public headers use. PRIVATE
# names what only its sources use: the platform's own libraries above all.
function(orvex_library name)
    cmake_parse_arguments(ARG "" "FOLDER" "SOURCES;HEADERS;DEPENDS;PRIVATE" ${ARGN})
    if(NOT ARG_FOLDER)
        set(ARG_FOLDER ${name})
    endif()
    add_library(${name} STATIC ${ARG_SOURCES})
    orvex_include_root(${name} PUBLIC ${ARG_FOLDER} HEADERS ${ARG_HEADERS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_PRIVATE})
endfunction()
