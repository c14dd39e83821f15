#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

// The localised texts of the game, read from "strings-utf8.txt": key to UTF-8 text. Every text
// that is drawn or measured goes through Translate.
namespace StringTable {

// Reads "strings-utf8.txt" (a required definition file): every top-level list whose name is a
// word and that has a second element is an entry, the name its key and the second element its
// text; a later entry of a key replaces the earlier one, and the log names the key.
void Load();

// The text to show: a text that does not begin with "str." is itself. Otherwise it is a key:
// a missing key is added with an empty text, and a key whose text is empty shows as the key
// itself. The view is valid until the table is loaded or cleared again (or, for a text that is
// not translated, as long as the text).
std::string_view Translate(std::string_view text);

// The table as it stands.
const std::map<std::string, std::string, std::less<>>& Entries();
// Forgets every entry.
void Clear();

} // namespace StringTable
