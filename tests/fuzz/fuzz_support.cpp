#include "fuzz_support.h"

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fuzz {

namespace fs = std::filesystem;

static std::string MakeScratch() {
    const char* base = access("/dev/shm", W_OK | X_OK) == 0 ? "/dev/shm" : getenv("TMPDIR");
    if (!base || !*base) base = "/tmp";
    std::string pattern = std::string(base) + "/setup-fuzz-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    if (!mkdtemp(buffer.data())) {
        fprintf(stderr, "cannot make a scratch folder below %s\n", base);
        abort();
    }
    return buffer.data();
}

static void RemoveScratch() {
    std::error_code error;
    fs::remove_all(Scratch(), error);
}

const std::string& Scratch() {
    static const std::string folder = [] {
        std::string made = MakeScratch();
        return made;
    }();
    static const bool registered = atexit(RemoveScratch) == 0;
    (void)registered;
    return folder;
}

std::string FreshFolder(const std::string& name) {
    std::string folder = Scratch() + "/" + name;
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    Check(!error, "cannot make a folder in the scratch area");
    return folder;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool ReadWholeFile(const std::string& path, std::string* contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    *contents = bytes.str();
    return true;
}

std::u16string U16(const std::string& utf8) { return std::u16string(utf8.begin(), utf8.end()); }

std::string Utf8(const std::u16string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string WideFromBytes(const std::vector<uint8_t>& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit) text.push_back(unit);
    }
    return text;
}

uint32_t Reader::Below(uint32_t bound) {
    if (bound == 0) return 0;
    uint32_t value = Byte();
    if (bound > 256) value |= static_cast<uint32_t>(Byte()) << 8;
    return value % bound;
}

std::vector<uint8_t> Reader::Bytes(size_t count) {
    if (count > size - at) count = size - at;
    std::vector<uint8_t> bytes(data + at, data + at + count);
    at += count;
    return bytes;
}

static char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool LooksPlain(const std::u16string& name) {
    if (name.empty()) return false;
    for (char16_t c : name)
        if (c < 32 || std::u16string(u"\\/:*?\"<>|").find(c) != std::u16string::npos) return false;
    if (name.back() == u'.' || name.back() == u' ') return false;
    std::u16string base = name.substr(0, name.find(u'.'));
    while (!base.empty() && base.back() == u' ') base.pop_back();
    for (char16_t& c : base) c = Upper(c);
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
        if (base == device) return false;
    if (base.size() == 4 && (base.compare(0, 3, u"COM") == 0 || base.compare(0, 3, u"LPT") == 0)) {
        char16_t digit = base[3];
        if ((digit >= u'0' && digit <= u'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3) return false;
    }
    return true;
}

void Check(bool condition, const char* what) {
    if (condition) return;
    fprintf(stderr, "invariant broken: %s\n", what);
    abort();
}

}  // namespace fuzz
