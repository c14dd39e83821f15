#include "world/ProgressSections.h"

#include "engine/Exception.h"
#include "engine/Parcon.h"
#include "world/PlayerFile.h"

namespace {

bool IsValue(const ParconNode* node) {
    return node->kind == ParconNode::kValue && node->hasText;
}

// The name (element 0) of a list, when it is a value.
std::optional<std::string_view> ListName(const ParconList& list) {
    if (list.elements.empty() || !IsValue(&list.elements.front())) {
        return std::nullopt;
    }
    return list.Text(list.elements.front());
}

} // namespace

void AppendSlots(std::string& text,
                 const std::array<InventorySlot, Player::kInventorySlots>& slots) {
    for (std::size_t i = 0; i < slots.size(); ++i) {
        text += "(slot ";
        text += std::to_string(i);
        text += ' ';
        if (!slots[i].item.empty()) {
            text += PlayerFileToken(slots[i].item);
        }
        text += ' ';
        // A free slot holds nothing: with no item written, a count would read back as the item.
        text += std::to_string(IsFreeItem(slots[i].item) ? 0 : slots[i].count);
        text += ')';
    }
}

void AppendPermanentSlots(std::string& text,
                          const std::array<int32_t, Player::kPermanentSlots>& counts) {
    for (std::size_t i = 0; i < counts.size(); ++i) {
        text += "(slot ";
        text += std::to_string(i);
        text += ' ';
        text += std::to_string(counts[i]);
        text += ')';
    }
}

void AppendFlag(std::string& text, const std::string& key, int32_t value) {
    text += '(';
    text += PlayerFileToken(key);
    text += ' ';
    text += std::to_string(value);
    text += ")\n";
}

void SectionReader::Problem(const std::string& what) {
    if (firstProblem.empty()) {
        firstProblem = fileName + ": " + what;
    }
}

std::optional<std::array<std::string_view, 3>> SectionReader::Values(const ParconList& list,
                                                                     std::size_t most) {
    const std::string name(ListName(list).value_or(""));
    if (list.elements.size() - 1 > most) {
        Problem("too many elements in (" + name + ")");
        return std::nullopt;
    }
    std::array<std::string_view, 3> values{};
    for (std::size_t i = 1; i < list.elements.size(); ++i) {
        if (!IsValue(&list.elements[i])) {
            Problem("a list inside (" + name + ")");
            return std::nullopt;
        }
        values[i - 1] = list.Text(list.elements[i]);
    }
    return values;
}

std::optional<int32_t> SectionReader::Number(std::string_view text, const char* what) {
    const std::optional<int32_t> value = ParseInt32(text);
    if (!value) {
        Problem(std::string(what) + " \"" + MessagePart(text) + "\" is not a number");
    }
    return value;
}

void SectionReader::ReadSlots(const ParconList& section,
                              std::array<InventorySlot, Player::kInventorySlots>& slots) {
    for (std::size_t e = 1; e < section.elements.size(); ++e) {
        const ParconNode* node = &section.elements[e];
        if (node->kind != ParconNode::kList || ListName(section.List(*node)) != "slot") {
            Problem("an inventory entry that is not a slot");
            continue;
        }
        const ParconList slot = section.List(*node);
        const std::optional<std::array<std::string_view, 3>> values = Values(slot, 3);
        if (!values) {
            continue;
        }
        const std::size_t count = slot.elements.size() - 1;
        if (count == 0) {
            Problem("an inventory slot without its number");
            continue;
        }
        const std::optional<int32_t> index = Number((*values)[0], "the inventory slot number");
        if (!index) {
            continue;
        }
        if (*index < 0 || *index >= Player::kInventorySlots) {
            Problem("inventory slot " + std::to_string(*index) + " does not exist");
            continue;
        }
        const std::string item(count >= 2 ? (*values)[1] : std::string_view("0"));
        if (!IsFreeItem(item) && !IsSafeItemName(item)) {
            Problem("the item \"" + MessagePart(item) + "\" cannot be held");
            continue;
        }
        int32_t itemCount = 0;
        if (count == 3) {
            const std::optional<int32_t> parsed = Number((*values)[2], "the item count");
            if (!parsed) {
                continue;
            }
            // A free slot holds nothing; a count there would be added to the next item it takes.
            itemCount = IsFreeItem(item) ? 0 : *parsed;
        }
        slots[static_cast<std::size_t>(*index)] = {item, itemCount};
    }
}

void SectionReader::ReadPermanentSlots(const ParconList& section,
                                       std::array<int32_t, Player::kPermanentSlots>& counts) {
    for (std::size_t e = 1; e < section.elements.size(); ++e) {
        const ParconNode* node = &section.elements[e];
        if (node->kind != ParconNode::kList || ListName(section.List(*node)) != "slot") {
            Problem("a tool entry that is not a slot");
            continue;
        }
        const ParconList slot = section.List(*node);
        const std::optional<std::array<std::string_view, 3>> values = Values(slot, 2);
        if (!values) {
            continue;
        }
        if (slot.elements.size() < 2) {
            Problem("a tool slot without its number");
            continue;
        }
        const std::optional<int32_t> index = Number((*values)[0], "the tool slot number");
        if (!index) {
            continue;
        }
        if (*index < 0 || *index >= Player::kPermanentSlots) {
            Problem("tool slot " + std::to_string(*index) + " does not exist");
            continue;
        }
        int32_t toolCount = 0;
        if (slot.elements.size() == 3) {
            const std::optional<int32_t> parsed = Number((*values)[1], "the tool count");
            if (!parsed) {
                continue;
            }
            toolCount = *parsed;
        }
        counts[static_cast<std::size_t>(*index)] = toolCount;
    }
}

void SectionReader::ReadFlag(const ParconList& flag, GameStateFlags& flags) {
    const std::optional<std::string_view> key = ListName(flag);
    if (!key) {
        Problem("a flag without a name");
        return;
    }
    if (!IsStorableName(*key)) {
        Problem("the flag name \"" + MessagePart(*key) + "\" cannot be stored");
        return;
    }
    for (const char* section : kProfileSections) {
        if (*key == section) {
            Problem("a flag is named like the list (" + std::string(section) + ")");
            return;
        }
    }
    const std::optional<std::array<std::string_view, 3>> values = Values(flag, 1);
    if (!values) {
        return;
    }
    int32_t value = 0;
    if (flag.elements.size() == 2) {
        const std::optional<int32_t> parsed = Number((*values)[0], "the flag value");
        if (!parsed) {
            return;
        }
        value = *parsed;
    }
    flags[std::string(*key)] = value;
}

std::optional<int32_t> SectionReader::ReadNumber(const ParconList& section) {
    const std::optional<std::array<std::string_view, 3>> values = Values(section, 1);
    if (!values || section.elements.size() < 2) {
        return std::nullopt;
    }
    return Number((*values)[0], std::string(ListName(section).value_or("")).c_str());
}

std::optional<std::string> SectionReader::ReadName(const ParconList& section) {
    const std::optional<std::array<std::string_view, 3>> values = Values(section, 1);
    if (!values || section.elements.size() < 2) {
        return std::nullopt;
    }
    const std::string name((*values)[0]);
    if (!IsStorableName(name)) {
        Problem("the name \"" + MessagePart(name) + "\" cannot be stored");
        return std::nullopt;
    }
    return name;
}
