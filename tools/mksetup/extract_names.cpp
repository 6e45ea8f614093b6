#include "extract_names.h"

bool SafeEntryParts(const std::u16string& stored, std::vector<std::u16string>* parts, std::string* why) {
    parts->clear();
    if (stored.empty()) {
        *why = "an empty name";
        return false;
    }
    if (stored[0] == u'\\' || stored[0] == u'/') {
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
        if (i < stored.size() && stored[i] != u'\\' && stored[i] != u'/') {
            part.push_back(stored[i]);
            continue;
        }
        if (part == u"..") {
            *why = "a '..' part";
            return false;
        }
        if (!part.empty() && part != u".") parts->push_back(part);
        if (i == stored.size() && (part.empty() || part == u".")) {
            *why = "a name that ends in a folder";
            return false;
        }
        part.clear();
    }
    return true;
}
