// Feeds arbitrary bytes to the definition-file parser and walks the whole tree through every
// getter of the cursor; only our own Exception may come out.
#include "engine/Exception.h"
#include "engine/Parcon.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::istringstream input(std::string(reinterpret_cast<const char*>(data), size));
    Parcon parser;
    parser.ParseStream("fuzz.txt", input);

    std::vector<ParconCursor> pending{parser.RootCursor()};
    while (!pending.empty()) {
        ParconCursor cursor = pending.back();
        pending.pop_back();
        cursor.GetListName();
        do {
            cursor.GetString("");
            cursor.GetInt(0);
            cursor.GetFloat(0);
            cursor.HasNextValue();
            if (const std::optional<ParconList> list = cursor.GetList()) {
                pending.emplace_back(list, 0);
            }
        } while (cursor.Next());

        // At the end of the list: optional reads give the default, required ones throw.
        ParconCursor end = cursor;
        end.NextString(false, "");
        end.NextInt(false, 0);
        end.NextFloat(false, 0);
        try {
            end.NextString(true, "");
        } catch (const Exception&) {
        }
        try {
            end.NextInt(true, 0);
        } catch (const Exception&) {
        }
        try {
            end.NextFloat(true, 0);
        } catch (const Exception&) {
        }

        // Read the list again from its name with the stepping getters.
        ParconCursor again(cursor.List(), 0);
        try {
            for (;;) {
                again.NextString(true, "");
                again.NextInt(false, 0);
                again.NextFloat(true, 0);
            }
        } catch (const Exception&) {
        }
    }
    return 0;
}
