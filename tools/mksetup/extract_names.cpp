#include "extract_names.h"

#include "common/file_names.h"
#include "text_codec.h"

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// Why a part that is neither empty, "." nor ".." fails IsPlainFileName.
std::string WhyNotPlain(const std::u16string& part) {
    for (char16_t c : part)
        if (c < 0x20 || std::u16string(u"<>\"|?*").find(c) != std::u16string::npos)
            return "a character Windows does not allow in names";
    char16_t last = part.back();
    if (last == u'.' || last == u' ') return "a part ending in a dot or space, which Windows drops";
    return "a device name such as CON, NUL or COM1";
}

}  // namespace

bool SafeEntryParts(const std::u16string& stored, std::vector<std::u16string>* parts, std::string* why) {
    parts->clear();
    if (stored.empty()) {
        *why = "an empty name";
        return false;
    }
    if (IsSeparator(stored[0])) {
        *why = "an absolute name";
        return false;
    }
    // "C:x" is relative to a drive's current folder, "a:b" a stream of a file:
    // neither stays inside the folder on Windows.
    if (stored.find(u':') != std::u16string::npos) {
        *why = "a drive letter or stream name";
        return false;
    }
    std::u16string part;
    for (size_t i = 0; i <= stored.size(); ++i) {
        if (i < stored.size() && !IsSeparator(stored[i])) {
            part.push_back(stored[i]);
            continue;
        }
        if (part == u"..") {
            *why = "a '..' part";
            return false;
        }
        bool last = i == stored.size();
        if (part.empty() || part == u".") {
            // Windows reads "a\\.\\b" and "a\\\\b" as a\b, and so do we.
            if (last) {
                *why = "a name that ends in a folder";
                return false;
            }
        } else if (!IsPlainFileName(part.c_str())) {
            *why = WhyNotPlain(part);
            return false;
        } else {
            parts->push_back(part);
        }
        part.clear();
    }
    return true;
}

std::filesystem::path EntryTarget(const std::filesystem::path& folder, const std::vector<std::u16string>& parts) {
    std::filesystem::path target = folder;
    for (const std::u16string& part : parts) target /= std::filesystem::u8path(Utf16ToUtf8(part));
    return target;
}
