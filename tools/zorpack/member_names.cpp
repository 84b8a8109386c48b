#include "member_names.h"

#include "cp1252.h"

#include <cstring>

namespace zorpack {
namespace {

bool isReservedDeviceName(const std::string& name) {
    // The device names are reserved with any extension ("nul.txt" is the device too).
    std::string stem = foldCaseCp1252(name.substr(0, name.find('.')));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

} // namespace

bool makeMemberComponent(const std::string& utf8, std::string& cp1252, std::string& problem) {
    if (utf8.empty() || utf8 == "." || utf8 == "..") {
        problem = "empty or relative name component";
        return false;
    }
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr) {
            problem = "it contains a character Windows does not allow in file names";
            return false;
        }
    }
    if (utf8.back() == '.' || utf8.back() == ' ') {
        problem = "it ends with a dot or a blank, which Windows drops";
        return false;
    }
    if (!utf8ToCp1252(utf8, cp1252, problem))
        return false;
    if (isReservedDeviceName(cp1252)) {
        problem = "it is a reserved Windows device name";
        return false;
    }
    return true;
}

std::string foldCaseCp1252(const std::string& cp1252) {
    std::string out = cp1252;
    for (char& c : out) {
        const auto byte = static_cast<unsigned char>(c);
        unsigned upper = byte;
        if (byte >= 'a' && byte <= 'z')
            upper = byte - 0x20;
        else if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) // Latin-1 letters
            upper = byte - 0x20;
        else if (byte == 0x9A || byte == 0x9C || byte == 0x9E) // š œ ž
            upper = byte - 0x10;
        else if (byte == 0xFF) // ÿ
            upper = 0x9F;
        c = static_cast<char>(upper);
    }
    return out;
}

} // namespace zorpack
