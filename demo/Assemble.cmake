# Puts the demo game folder together (run by the build with cmake -P):
#   SOURCE     the demo/ source folder (data/, help/, version.txt, config.txt)
#   GENERATED  demogen's output
#   WORK       a scratch folder
#   GAME       the game folder to make
#   PACKTOOL   the pack builder

# The folders whose files live only in "pack.boo".
set(packedFolders snd gfx/fonts gfx/objects)
# Files already compressed go into the pack as they are.
set(storedGlobs *.ogg *.png *.jpg)

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/data ${WORK}/packed)
file(COPY ${SOURCE}/data/ DESTINATION ${WORK}/data)
file(COPY ${GENERATED}/ DESTINATION ${WORK}/data)
foreach(folder IN LISTS packedFolders)
    if(IS_DIRECTORY ${WORK}/data/${folder})
        get_filename_component(parent ${WORK}/packed/${folder} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(RENAME ${WORK}/data/${folder} ${WORK}/packed/${folder})
    endif()
endforeach()

execute_process(
    COMMAND ${PACKTOOL} build ${WORK}/packed ${WORK}/pack.boo --store ${storedGlobs}
    RESULT_VARIABLE packResult)
if(NOT packResult EQUAL 0)
    message(FATAL_ERROR "packtool could not build the demo's pack")
endif()

# The game folder is replaced whole, except what the game writes there itself ("store/",
# "config/" when the configuration keeps the player files locally).
file(REMOVE_RECURSE ${GAME}/data ${GAME}/help)
file(MAKE_DIRECTORY ${GAME})
file(RENAME ${WORK}/data ${GAME}/data)
file(RENAME ${WORK}/pack.boo ${GAME}/pack.boo)
file(COPY ${SOURCE}/help DESTINATION ${GAME})
file(COPY ${SOURCE}/version.txt ${SOURCE}/config.txt DESTINATION ${GAME})
file(REMOVE_RECURSE ${WORK})
