#include "uninstall/uninstall_texts.h"

#include "common/text.h"
#include "ui/texts.h"

enum : int32_t { kTemplateCapacity = 512 };

static const TextRow kEnglishRows[] = {
    {kTextUninstallTitle, "Uninstall"},
    {kTextUninstallQuestion, "Remove %1 from %2?"},
    {kTextUninstallDone, "%1 has been removed."},
    {kTextUninstallKept, "These files were kept:"},
    {kTextReasonChanged, "changed since installation"},
    {kTextReasonInUse, "in use, removed at restart"},
    {kTextListDamaged, "The list of installed files is missing or damaged. Nothing was removed."},
    {kTextReasonNotListed, "not installed by the setup"},
    {kTextReasonListIgnored, "an earlier list, damaged or of another product: ignored"},
    {kTextFolderStays, "The folder %1 stays."},
    {0, nullptr}};

static const TextRow kGermanRows[] = {
    {kTextUninstallTitle, "Deinstallation"},
    {kTextUninstallQuestion, "%1 aus %2 entfernen?"},
    {kTextUninstallDone, "%1 wurde entfernt."},
    {kTextUninstallKept, "Diese Dateien wurden behalten:"},
    {kTextReasonChanged, "seit der Installation ge\xE4ndert"},
    {kTextReasonInUse, "in Gebrauch, wird beim Neustart entfernt"},
    {kTextListDamaged,
     "Die Liste der installierten Dateien fehlt oder ist besch\xE4""digt. Es wurde nichts entfernt."},
    {kTextReasonNotListed, "nicht vom Setup installiert"},
    {kTextReasonListIgnored, "fr\xFC""here Liste, besch\xE4""digt oder eines anderen Produkts: nicht beachtet"},
    {kTextFolderStays, "Der Ordner %1 bleibt."},
    {0, nullptr}};

static const TextRow kItalianRows[] = {
    {kTextUninstallTitle, "Disinstallazione"},
    {kTextUninstallQuestion, "Rimuovere %1 da %2?"},
    {kTextUninstallDone, "%1 \xE8 stato rimosso."},
    {kTextUninstallKept, "Questi file sono stati mantenuti:"},
    {kTextReasonChanged, "modificato dopo l'installazione"},
    {kTextReasonInUse, "in uso, verr\xE0 rimosso al riavvio"},
    {kTextListDamaged,
     "L'elenco dei file installati manca o \xE8 danneggiato. Non \xE8 stato rimosso nulla."},
    {kTextReasonNotListed, "non installato dal setup"},
    {kTextReasonListIgnored, "elenco precedente danneggiato o di un altro prodotto: ignorato"},
    {kTextFolderStays, "La cartella %1 rimane."},
    {0, nullptr}};

static const TextTable kEnglish = {0, "US", kEnglishRows};
static const TextTable kGerman = {0, "DE", kGermanRows};
static const TextTable kItalian = {0, "IT", kItalianRows};

const TextTable* UninstallTextTable(const char* languageCode) {
    const TextTable* tables[] = {&kEnglish, &kGerman, &kItalian};
    for (const TextTable* table : tables)
        if (languageCode && EqualsIgnoreCaseA(languageCode, table->languageCode)) return table;
    return &kEnglish;
}

void FormatUninstallText(const TextTable* table, int16_t id, const char16_t* first, const char16_t* second,
                         char16_t* out, int32_t capacity) {
    if (capacity <= 0) return;
    out[0] = 0;
    char16_t pattern[kTemplateCapacity];
    LookupText(table, id, pattern, kTemplateCapacity);
    int32_t length = 0;
    for (const char16_t* p = pattern; *p && length < capacity - 1; ++p) {
        bool placeholder = p[0] == u'%' && (p[1] == u'1' || p[1] == u'2');
        if (!placeholder) {
            out[length++] = *p;
            out[length] = 0;
            continue;
        }
        const char16_t* insert = p[1] == u'1' ? first : second;
        AppendText(insert ? insert : u"", out, capacity);
        length = TextLength(out);
        ++p;
    }
    out[length] = 0;
}
