#pragma once
// The preparation of the invoice before its first page: the data are reopened, and titles,
// the copy label, pictures, the optional blocks, the second-language labels and the subtotal
// bands are set from the settings, the document and the chosen language. Runs once per
// print, preview or export.

#include <QColor>
#include <string>
#include <vector>

#include "report/engine/report.h"

namespace dorvan {

class TDM;
class TQuickRep_szamlabizonylat;

namespace invoice {

// Every step of the preparation, in order (the report's before-print hook).
void QuickRepBeforePrint(TQuickRep_szamlabizonylat& rep);

// Translates the report's labels whose names end in "_lang" (letter case ignored) into
// language `L` from the document language table; hides them when `L` has no language key.
// A label that cannot be translated is reported in a message box ("Belső hiba") and the
// others go on; returns false when any failed.
bool SetReportLanguage(report::Report& report, TDM& dm, const std::string& L);

// Gives a data-bound text the font name and character set of language `L` (nothing changes
// when `L` has no language key).
void SetDBTextLanguageFont(report::Control& control, TDM& dm, const std::string& L);

// The character set number at the start of a language key's `carset` text ("238 - ..." gives
// 238); 0 when it cannot be read.
int CharsetOf(const std::string& carset);

// The text key of a "_lang" label: the name after its first "_" (at most 20 characters),
// lower-cased, with every "_lang" removed ("QRLabel_10015_Lang" gives "10015").
std::string LangLabelKey(const std::string& controlName);

// The stock-movement description of movement type M between source warehouse S and target
// warehouse T (0: a partner's warehouse); "" when both are 0.
std::string GetMozgasnemLeiras(TDM& dm, int M, int S, int T);

// Caption and font colour of the copy label.
struct CopyLabel {
    std::string caption;
    QColor colour;
};
CopyLabel CopyLabelOf(int peldanyszam, int peldany, int prev);

// The invoice title: a reversal, an advance invoice or an ordinary invoice.
std::string InvoiceTitle(int sztornozott_bizonylat_kod, int bizonylat_fajta);

// The discount total after "Kedvezmény összege:": the amount in the general number format
// with digits grouped by threes, a space and the currency ("1 234 HUF").
std::string DiscountTotalText(double netto_kedvezmeny, const std::string& deviza_nev);

// The five lines of an address block: name, town, street address, postcode, country.
std::vector<std::string> AddressLines(const std::string& nev, const std::string& telepules,
                                      const std::string& cim, const std::string& iszam,
                                      const std::string& orszag);

// Bytes of a binary setting as the database hands them over ("\x" hexadecimal text, or the
// bytes themselves).
std::string ByteaBytes(const std::string& text);

// A column of the global settings row (opened when closed) as an integer; null reads as 0.
int SetupMainInt(TDM& dm, const std::string& column);

}  // namespace invoice
}  // namespace dorvan
