// Text of several kinds: prose (plain and HTML), program source, and records
// (CSV tables, logs, XML). Each maker appends until the size is reached and
// then cuts to exactly that size.
#include <stdio.h>

#include "corpus.h"

namespace {

void Append(std::vector<uint8_t>* out, const std::string& text) { out->insert(out->end(), text.begin(), text.end()); }

void CutTo(std::vector<uint8_t>* out, size_t start, uint64_t size) { out->resize(start + size); }

std::string Capitalised(std::string word) {
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
    return word;
}

std::string Sentence(Random* random) {
    uint64_t words = 4 + RandomBelow(random, 18);
    std::string text;
    for (uint64_t k = 0; k < words; ++k) {
        std::string word = VocabularyWord(ZipfRank(random));
        text += k == 0 ? Capitalised(word) : " " + word;
        if (k + 1 < words && RandomBelow(random, 9) == 0) text += ",";
    }
    return text + (RandomBelow(random, 12) == 0 ? "?" : ".");
}

// Lines wrapped near 76 columns with Windows line ends, as shipped read-me files are.
std::string WrappedParagraph(Random* random) {
    std::string text, line;
    uint64_t sentences = 2 + RandomBelow(random, 6);
    for (uint64_t s = 0; s < sentences; ++s) {
        std::string sentence = Sentence(random);
        size_t start = 0;
        while (start < sentence.size()) {
            size_t space = sentence.find(' ', start);
            std::string word = sentence.substr(start, space == std::string::npos ? std::string::npos : space - start);
            start = space == std::string::npos ? sentence.size() : space + 1;
            if (!line.empty() && line.size() + 1 + word.size() > 76) {
                text += line + "\r\n";
                line.clear();
            }
            line += line.empty() ? word : " " + word;
        }
    }
    return text + line + "\r\n\r\n";
}

std::string Identifier(Random* random, bool type) {
    std::string name = Capitalised(VocabularyWord(ZipfRank(random) % 800));
    if (RandomBelow(random, 2)) name += Capitalised(VocabularyWord(ZipfRank(random) % 800));
    if (!type) name[0] = static_cast<char>(name[0] + 32);
    return name;
}

std::string Statement(Random* random, const std::string& indent) {
    static const char* const kTypes[] = {"int", "size_t", "bool", "double", "const char*", "uint32_t"};
    std::string a = Identifier(random, false), b = Identifier(random, false);
    char number[16];
    snprintf(number, sizeof number, "%u", static_cast<unsigned>(RandomBelow(random, 4) ? RandomBelow(random, 16)
                                                                                     : RandomBelow(random, 65536)));
    switch (RandomBelow(random, 8)) {
    case 0: return indent + kTypes[RandomBelow(random, 6)] + " " + a + " = " + b + ";\n";
    case 1: return indent + "if (" + a + " > " + number + ") return " + b + ";\n";
    case 2: return indent + a + " = " + Identifier(random, true) + "(" + b + ", " + number + ");\n";
    case 3: return indent + "for (int i = 0; i < " + a + "; ++i) " + b + "[i] = " + number + ";\n";
    case 4: return indent + "// " + Sentence(random) + "\n";
    case 5: return indent + a + "->" + b + " += " + number + ";\n";
    case 6: return indent + "if (!" + a + ") {\n" + indent + "    return false;\n" + indent + "}\n";
    default: return indent + Identifier(random, true) + "(" + a + ");\n";
    }
}

std::string Function(Random* random) {
    std::string text = "\nstatic int " + Identifier(random, true) + "(" + Identifier(random, true) + "* " +
                       Identifier(random, false) + ", int " + Identifier(random, false) + ") {\n";
    uint64_t statements = 3 + RandomBelow(random, 14);
    for (uint64_t k = 0; k < statements; ++k) text += Statement(random, "    ");
    return text + "    return 0;\n}\n";
}

std::string Date(Random* random) {
    char text[32];
    snprintf(text, sizeof text, "20%02u-%02u-%02u", static_cast<unsigned>(15 + RandomBelow(random, 10)),
             static_cast<unsigned>(1 + RandomBelow(random, 12)), static_cast<unsigned>(1 + RandomBelow(random, 28)));
    return text;
}

std::string CsvRow(Random* random, uint64_t id) {
    char text[160];
    snprintf(text, sizeof text, "%llu,%s,%s %s,%u.%02u,%s\r\n", static_cast<unsigned long long>(id),
             Date(random).c_str(), Capitalised(VocabularyWord(ZipfRank(random))).c_str(),
             Capitalised(VocabularyWord(ZipfRank(random))).c_str(), static_cast<unsigned>(RandomBelow(random, 5000)),
             static_cast<unsigned>(RandomBelow(random, 100)), RandomBelow(random, 5) ? "paid" : "open");
    return text;
}

std::string LogLine(Random* random, uint64_t* clock) {
    static const char* const kLevels[] = {"INFO", "INFO", "INFO", "DEBUG", "WARN", "ERROR"};
    *clock += RandomBelow(random, 4000);
    uint64_t ms = *clock;
    char text[96];
    snprintf(text, sizeof text, "2024-03-%02u %02u:%02u:%02u.%03u [%s] %s: ", static_cast<unsigned>(1 + ms / 86400000 % 28),
             static_cast<unsigned>(ms / 3600000 % 24), static_cast<unsigned>(ms / 60000 % 60),
             static_cast<unsigned>(ms / 1000 % 60), static_cast<unsigned>(ms % 1000), kLevels[RandomBelow(random, 6)],
             Identifier(random, true).c_str());
    return text + Sentence(random) + " value=" + std::to_string(RandomBelow(random, 100000)) + "\n";
}

std::string XmlEntry(Random* random, uint64_t id) {
    return "  <entry id=\"" + std::to_string(id) + "\" date=\"" + Date(random) + "\">\n    <name>" +
           Capitalised(VocabularyWord(ZipfRank(random))) + "</name>\n    <value>" +
           std::to_string(RandomBelow(random, 1000000)) + "</value>\n    <note>" + Sentence(random) +
           "</note>\n  </entry>\n";
}

}  // namespace

void MakeProse(Random* random, uint64_t size, bool html, std::vector<uint8_t>* out) {
    size_t start = out->size();
    if (html) Append(out, "<!DOCTYPE html>\r\n<html><head><title>" + Sentence(random) + "</title></head><body>\r\n");
    while (out->size() - start < size) {
        if (html && RandomBelow(random, 6) == 0) Append(out, "<h2>" + Sentence(random) + "</h2>\r\n");
        Append(out, html ? "<p>" + WrappedParagraph(random) + "</p>\r\n" : WrappedParagraph(random));
    }
    CutTo(out, start, size);
}

void MakeSource(Random* random, uint64_t size, std::vector<uint8_t>* out) {
    size_t start = out->size();
    Append(out, "// " + Sentence(random) + "\n#include \"" + VocabularyWord(ZipfRank(random)) + ".h\"\n");
    while (out->size() - start < size) Append(out, Function(random));
    CutTo(out, start, size);
}

void MakeRecords(Random* random, uint64_t size, RecordStyle style, std::vector<uint8_t>* out) {
    size_t start = out->size();
    uint64_t id = 1000 + RandomBelow(random, 100000), clock = 0;
    if (style == RecordStyle::Csv) Append(out, "id,date,name,amount,status\r\n");
    if (style == RecordStyle::Xml) Append(out, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<entries>\n");
    while (out->size() - start < size) {
        if (style == RecordStyle::Csv) Append(out, CsvRow(random, id++));
        else if (style == RecordStyle::Log) Append(out, LogLine(random, &clock));
        else Append(out, XmlEntry(random, id++));
    }
    CutTo(out, start, size);
}

void MakeLanguageFile(Random* random, uint64_t size, const std::string& languageName, std::vector<uint8_t>* out) {
    size_t start = out->size();
    Append(out, "[Strings]\r\nLanguage=" + languageName + "\r\n");
    for (uint64_t id = 1000; out->size() - start < size; ++id) Append(out, std::to_string(id) + "=" + Sentence(random) + "\r\n");
    CutTo(out, start, size);
}
