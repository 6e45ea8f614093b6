#include "common/native_path.h"
#include "common/files.h"
#include "common/path.h"
#include "common/unicode.h"

#include <string.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

static bool ParentExists(const char* native) {
    char parent[kNativePathCapacity];
    strncpy(parent, native, sizeof parent - 1);
    parent[sizeof parent - 1] = 0;
    // "a/b/" names the folder b: its parent is a, not a/b.
    size_t length = strlen(parent);
    while (length > 1 && parent[length - 1] == '/') parent[--length] = 0;
    char* slash = strrchr(parent, '/');
    if (!slash) return true;
    if (slash == parent) return true;
    *slash = 0;
    struct stat st;
    return stat(parent, &st) == 0 && S_ISDIR(st.st_mode);
}

uint32_t WindowsCodeOfErrno(int error, const char* native) {
    switch (error) {
    case ENOENT: return (native && !ParentExists(native)) ? kErrorPathNotFound : kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EEXIST: return kErrorAlreadyExists;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case EBUSY:
    case ETXTBSY: return kErrorSharingViolation;
    case ENAMETOOLONG: return 206;
    default: return kErrorAccessDenied;
    }
}

bool ToNativePath(const char16_t* path, char* native) {
    int32_t count = TextLength(path);
    int32_t out = 0;
    for (int32_t at = 0; at < count;) {
        uint32_t c = NextCodePoint(path, count, &at);
        if (c == '\\') c = '/';
        if (out + 4 >= kNativePathCapacity) {
            SetLastErrorCode(206);
            return false;
        }
        out += EncodeCodePoint(c, native + out);
    }
    native[out] = 0;
    return true;
}

void FromNativeText(const char* native, char16_t* text, int32_t capacity) {
    if (capacity <= 0) return;
    int32_t out = 0;
    const char* p = native;
    const char* end = native + strlen(native);
    while (p < end && out < capacity - 1) {
        int32_t point = NextUtf8CodePoint(&p, end);
        uint32_t c = point < 0 ? 0xFFFD : static_cast<uint32_t>(point);
        if (c >= 0x10000) {
            if (out + 2 > capacity - 1) break;
            c -= 0x10000;
            text[out++] = static_cast<char16_t>(0xD800 + (c >> 10));
            text[out++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            text[out++] = static_cast<char16_t>(c);
        }
    }
    text[out] = 0;
}

bool MakeAbsolutePath(const char16_t* path, char16_t* full, int32_t capacity) {
    char16_t joined[kPathCapacity * 2];
    joined[0] = 0;
    if (!IsSeparator(path[0])) {
        char cwd[kNativePathCapacity];
        if (!getcwd(cwd, sizeof cwd)) return false;
        FromNativeText(cwd, joined, kPathCapacity);
    }
    if (AppendPathPart(path, joined, kPathCapacity * 2) != kPathFits) return false;
    // Rebuild component by component, dropping "." and resolving "..".
    int32_t out = 0;
    full[0] = 0;
    for (int32_t i = 0; joined[i];) {
        while (IsSeparator(joined[i])) ++i;
        int32_t start = i;
        while (joined[i] && !IsSeparator(joined[i])) ++i;
        int32_t length = i - start;
        if (length == 0 || (length == 1 && joined[start] == u'.')) continue;
        if (length == 2 && joined[start] == u'.' && joined[start + 1] == u'.') {
            while (out > 0 && full[out] != u'/') --out;
            full[out] = 0;
            continue;
        }
        if (out + 1 + length >= capacity) return false;
        full[out++] = u'/';
        for (int32_t k = 0; k < length; ++k) full[out++] = joined[start + k];
        full[out] = 0;
    }
    if (out == 0) {
        full[0] = u'/';
        full[1] = 0;
    }
    return true;
}

bool MatchesPattern(const char16_t* name, const char16_t* pattern) {
    if (*pattern == 0) return *name == 0;
    if (*pattern == u'*') {
        for (const char16_t* rest = name;; ++rest) {
            if (MatchesPattern(rest, pattern + 1)) return true;
            if (!*rest) return false;
        }
    }
    // A final ".*" also matches a name without any extension.
    if (*pattern == u'.' && pattern[1] == u'*' && pattern[2] == 0 && *name == 0) return true;
    if (!*name) return false;
    if (*pattern != u'?' && AsciiUpper(*pattern) != AsciiUpper(*name)) return false;
    return MatchesPattern(name + 1, pattern + 1);
}
