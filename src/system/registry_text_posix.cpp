// The line format of the registry store file (see registry_file_posix.h and
// registry_text_posix.h).
// Lines the format does not know are carried over unchanged on every rewrite,
// so a hand-edited or newer store loses nothing.
#include "system/registry_text_posix.h"
#include "common/text.h"

#include <string.h>

namespace {

enum : int32_t { kHeaderCapacity = 600, kNameCapacity = 2048 };

const char kIntroduction[] =
    "; Registry keys and values kept by Setup. UTF-8; %XX is one escaped byte.\n";

// Characters that would end a field early, beyond '%' and control characters.
const char kNameSpecials[] = "=[;#";
const char kPlainSpecials[] = "";

enum SectionMatch : int32_t { kOtherKey, kSameKey, kKeyBeneath };

struct StoreLine {
    const char* begin;
    const char* end;     // before "\n" or "\r\n"
    const char* rawEnd;  // after the line end
};

bool NextLine(const StoreText* store, uint32_t* at, StoreLine* line) {
    if (!store->bytes || *at >= store->length) return false;
    const char* begin = store->bytes + *at;
    const char* limit = store->bytes + store->length;
    const char* newline = static_cast<const char*>(memchr(begin, '\n', static_cast<size_t>(limit - begin)));
    line->begin = begin;
    line->end = newline ? newline : limit;
    line->rawEnd = newline ? newline + 1 : limit;
    if (line->end > begin && line->end[-1] == '\r') --line->end;
    *at = static_cast<uint32_t>(line->rawEnd - store->bytes);
    return true;
}

bool IsSection(const StoreLine& line) {
    return line.end - line.begin >= 2 && line.begin[0] == '[' && line.end[-1] == ']';
}

bool IsComment(const StoreLine& line) {
    return line.end > line.begin && (line.begin[0] == ';' || line.begin[0] == '#');
}

bool IsBlank(const StoreLine& line) {
    for (const char* p = line.begin; p < line.end; ++p)
        if (*p != ' ' && *p != '\t') return false;
    return true;
}

const char16_t* RootName(RegistryRoot root) {
    return root == kLocalMachine ? u"HKEY_LOCAL_MACHINE" : u"HKEY_CURRENT_USER";
}

bool WantedHeader(RegistryRoot root, const char16_t* path, char16_t* header) {
    CopyText(RootName(root), header, kHeaderCapacity);
    AppendText(u"\\", header, kHeaderCapacity);
    return AppendText(path, header, kHeaderCapacity) == kPathFits;
}

SectionMatch MatchSection(const StoreLine& line, const char16_t* wanted) {
    char16_t header[kHeaderCapacity];
    int32_t n = DecodeUtf8(line.begin + 1, line.end - 1, true, header, kHeaderCapacity - 1);
    if (n < 0) return kOtherKey;
    header[n] = 0;
    if (EqualsIgnoreCase(header, wanted)) return kSameKey;
    int32_t length = TextLength(wanted);
    if (n > length && header[length] == u'\\' && StartsWithIgnoreCase(header, wanted)) return kKeyBeneath;
    return kOtherKey;
}

// The '=' of a value line, or null for any other line.
const char* ValueSeparator(const StoreLine& line) {
    if (IsSection(line) || IsComment(line)) return nullptr;
    return static_cast<const char*>(memchr(line.begin, '=', static_cast<size_t>(line.end - line.begin)));
}

bool IsValueNamed(const StoreLine& line, const char16_t* name) {
    const char* separator = ValueSeparator(line);
    if (!separator || !name) return false;
    char16_t found[kNameCapacity];
    int32_t n = DecodeUtf8(line.begin, separator, true, found, kNameCapacity - 1);
    if (n < 0) return false;
    found[n] = 0;
    return EqualsIgnoreCase(found, name);
}

bool NeedsEscape(uint8_t byte, const char* specials) {
    if (byte < 0x20 || byte == 0x7F || byte == '%') return true;
    return byte < 0x80 && strchr(specials, byte) != nullptr;
}

bool AppendField(StoreText* out, const char16_t* text, int32_t count, const char* specials) {
    static const char kHex[] = "0123456789ABCDEF";
    for (int32_t at = 0; at < count;) {
        char bytes[4];
        int32_t n = EncodeCodePoint(NextCodePoint(text, count, &at), bytes);
        for (int32_t k = 0; k < n; ++k) {
            uint8_t byte = static_cast<uint8_t>(bytes[k]);
            char escape[3] = {'%', kHex[byte >> 4], kHex[byte & 15]};
            bool ok = NeedsEscape(byte, specials) ? AppendStoreBytes(out, escape, 3)
                                                  : AppendStoreBytes(out, bytes + k, 1);
            if (!ok) return false;
        }
    }
    return true;
}

bool AppendLiteral(StoreText* out, const char* text) {
    return AppendStoreBytes(out, text, static_cast<uint32_t>(strlen(text)));
}

struct Rewrite {
    StoreText* out;
    const char16_t* name;  // null when only the key is made
    const char16_t* data;
    int32_t count;
    bool number;
    bool inTarget;
    bool seen;
    bool done;
    bool ok;
    uint32_t heldBlanks;  // blank lines at the end of the target key, placed after the value
};

void Emit(Rewrite* rewrite, const char* bytes, uint32_t count) {
    if (rewrite->ok) rewrite->ok = AppendStoreBytes(rewrite->out, bytes, count);
}

void CopyLine(Rewrite* rewrite, const StoreLine& line) {
    Emit(rewrite, line.begin, static_cast<uint32_t>(line.rawEnd - line.begin));
    if (line.rawEnd == line.begin || line.rawEnd[-1] != '\n') Emit(rewrite, "\n", 1);
}

bool AppendValueData(StoreText* out, const Rewrite* rewrite) {
    const char16_t* data = rewrite->data;
    int32_t count = rewrite->count;
    static const char16_t kNumberMark[] = u"dword:";
    bool looksLikeNumber = count >= 6;
    for (int32_t i = 0; looksLikeNumber && i < 6; ++i) looksLikeNumber = data[i] == kNumberMark[i];
    if (looksLikeNumber && !rewrite->number) {
        if (!AppendLiteral(out, "%64")) return false;
        ++data;
        --count;
    }
    return AppendField(out, data, count, kPlainSpecials);
}

void PlaceValue(Rewrite* rewrite) {
    if (rewrite->done) return;
    rewrite->done = true;
    StoreText* out = rewrite->out;
    rewrite->ok = rewrite->ok && AppendField(out, rewrite->name, TextLength(rewrite->name), kNameSpecials) &&
                  AppendLiteral(out, "=") && AppendValueData(out, rewrite) && AppendLiteral(out, "\n");
}

void ReleaseBlanks(Rewrite* rewrite) {
    for (; rewrite->heldBlanks > 0; --rewrite->heldBlanks) Emit(rewrite, "\n", 1);
}

void AppendSection(Rewrite* rewrite, RegistryRoot root, const char16_t* path) {
    StoreText* out = rewrite->out;
    if (out->length > 0 && !(out->length >= 2 && out->bytes[out->length - 2] == '\n')) Emit(rewrite, "\n", 1);
    const char16_t* rootName = RootName(root);
    rewrite->ok = rewrite->ok && AppendLiteral(out, "[") &&
                  AppendField(out, rootName, TextLength(rootName), kPlainSpecials) && AppendLiteral(out, "\\") &&
                  AppendField(out, path, TextLength(path), kPlainSpecials) && AppendLiteral(out, "]\n");
    PlaceValue(rewrite);
}

void RewriteLine(Rewrite* rewrite, const StoreLine& line, const char16_t* wanted) {
    if (IsSection(line)) {
        if (rewrite->inTarget) PlaceValue(rewrite);
        ReleaseBlanks(rewrite);
        rewrite->inTarget = MatchSection(line, wanted) == kSameKey;
        rewrite->seen = rewrite->seen || rewrite->inTarget;
        CopyLine(rewrite, line);
        return;
    }
    if (rewrite->inTarget && IsBlank(line)) {
        ++rewrite->heldBlanks;
        return;
    }
    ReleaseBlanks(rewrite);
    if (rewrite->inTarget && !rewrite->done && IsValueNamed(line, rewrite->name)) {
        PlaceValue(rewrite);
        return;
    }
    CopyLine(rewrite, line);
}

}  // namespace

bool StoreHasKey(const StoreText* store, RegistryRoot root, const char16_t* path, bool exactly) {
    char16_t wanted[kHeaderCapacity];
    if (!WantedHeader(root, path, wanted)) return false;
    uint32_t at = 0;
    StoreLine line;
    while (NextLine(store, &at, &line)) {
        if (!IsSection(line)) continue;
        SectionMatch match = MatchSection(line, wanted);
        if (match == kSameKey || (match == kKeyBeneath && !exactly)) return true;
    }
    return false;
}

int32_t FindStoreValue(const StoreText* store, RegistryRoot root, const char16_t* path, const char16_t* name,
                       char16_t* out, int32_t capacity) {
    char16_t wanted[kHeaderCapacity];
    if (!WantedHeader(root, path, wanted)) return -1;
    bool inTarget = false;
    uint32_t at = 0;
    StoreLine line;
    while (NextLine(store, &at, &line)) {
        if (IsSection(line)) {
            inTarget = MatchSection(line, wanted) == kSameKey;
            continue;
        }
        if (!inTarget || !IsValueNamed(line, name)) continue;
        int32_t n = DecodeUtf8(ValueSeparator(line) + 1, line.end, true, out, capacity);
        return n < 0 ? -2 : n;
    }
    return -1;
}

bool RemoveFromStore(const StoreText* store, RegistryRoot root, const char16_t* path, const char16_t* name,
                     StoreText* out) {
    char16_t wanted[kHeaderCapacity];
    if (!WantedHeader(root, path, wanted)) return false;
    if (!name && StoreHasKey(store, root, path, false) && !StoreHasKey(store, root, path, true)) return false;
    bool inTarget = false, removed = false, ok = true;
    uint32_t at = 0;
    StoreLine line;
    while (ok && NextLine(store, &at, &line)) {
        if (IsSection(line)) {
            SectionMatch match = MatchSection(line, wanted);
            if (!name && match == kKeyBeneath) return false;
            inTarget = match == kSameKey;
        }
        bool drop = inTarget && (name ? !IsSection(line) && IsValueNamed(line, name) : true);
        if (drop) {
            removed = true;
            continue;
        }
        ok = AppendStoreBytes(out, line.begin, static_cast<uint32_t>(line.rawEnd - line.begin));
    }
    return ok && removed;
}

bool RewriteStore(const StoreText* store, RegistryRoot root, const char16_t* path, const char16_t* name,
                  const char16_t* data, int32_t count, bool number, StoreText* out) {
    char16_t wanted[kHeaderCapacity];
    if (!WantedHeader(root, path, wanted)) return false;
    Rewrite rewrite = {out, name, data ? data : u"", data ? count : 0, number, false, false, name == nullptr, true, 0};
    if (store->length == 0) Emit(&rewrite, kIntroduction, sizeof kIntroduction - 1);
    uint32_t at = 0;
    StoreLine line;
    while (NextLine(store, &at, &line)) RewriteLine(&rewrite, line, wanted);
    if (rewrite.inTarget) PlaceValue(&rewrite);
    ReleaseBlanks(&rewrite);
    if (!rewrite.seen) AppendSection(&rewrite, root, path);
    return rewrite.ok;
}
