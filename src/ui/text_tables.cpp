// The built-in user-interface texts, Windows-1252. Every table holds the same
// ids in the same order; non-ASCII letters are written as byte escapes, split
// from the letters behind them so that no escape swallows a hex digit.
#include "ui/texts.h"

static const TextRow kEnglishRows[] = {
    {1000, "Setup"},
    {99, "&OK"},
    {2, "Cancel"},
    {1010, "Language"},
    {1031, "Destination folder"},
    {1041, "Put entry to Start Menu"},
    {1042, "Create a Desktop icon"},
    {1043, "Create a Quick Launch icon"},
    {2001, "English"},
    {2002, "German"},
    {3001, "Broken file, please download again."},
    {3000, " has been successfully installed."},
    {3002, "Entries of the package that were not installed: "},
    {3003, "Checking the setup..."},
    {136, "Select &all"},
    {137, "&Deselect all"},
    {138, "&Invert selection"},
    {0, nullptr},
};

static const TextRow kGermanRows[] = {
    {1000, "Installation"},
    {99, "&OK"},
    {2, "Abbruch"},
    {1010, "Sprache"},
    {1031, "Zielpfad:"},
    {1041, "Programmgruppe erstellen"},
    {1042, "Desktop-Symbol anlegen"},
    {1043, "Symbol in der Schnellstartleiste anlegen"},
    {2001, "Englisch"},
    {2002, "Deutsch"},
    {3001, "Die Datei ist besch\xE4" "digt, bitte nochmal herunterladen!"},
    {3000, " wurde erfolgreich installiert."},
    {3002, "Nicht installierte Eintr\xE4" "ge des Pakets: "},
    {3003, "Setup wird gepr\xFC" "ft..."},
    {136, "Alles &markieren"},
    {137, "Markierung &aufheben"},
    {138, "Markierung &umkehren"},
    {0, nullptr},
};

// The Italian table names the two built-in language rows in English.
static const TextRow kItalianRows[] = {
    {1000, "Installazione"},
    {99, "&OK"},
    {2, "Annulla"},
    {1010, "Lingua"},
    {1031, "Destinazione"},
    {1041, "Aggiungi collegamento nel menu Programmi"},
    {1042, "Aggiungi collegamento sul desktop"},
    {1043, "Aggiungi collegamento sulla barra di Avvio veloce"},
    {2001, "English"},
    {2002, "German"},
    {3001, "File danneggiato, esegui di nuovo il download."},
    {3000, " \xE8 stato installato correttamente."},
    {3002, "Voci del pacchetto non installate: "},
    {3003, "Verifica del setup..."},
    {136, "Seleziona tutto"},
    {137, "Deseleziona tutto"},
    {138, "Inverti selezione"},
    {0, nullptr},
};

static const TextTable kEnglishTable = {0, "US", kEnglishRows};
static const TextTable kGermanTable = {0, "DE", kGermanRows};
static const TextTable kItalianTable = {0, "IT", kItalianRows};

const TextTable* const TextTableList[] = {&kEnglishTable, &kGermanTable, &kItalianTable, nullptr};

const int16_t kDialogTextIds[] = {1000, 99, 2, 1031, 1041, 1042, 1043, 0};
const int16_t kListMenuIds[] = {136, 137, 138, 0};
