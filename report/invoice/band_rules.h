#pragma once
// The band rules of the invoice: per band, whether it prints and which of its controls show,
// decided from the settings, the header and the current line while the report is laid out.

#include <QColor>
#include <QVariant>
#include <string>

namespace dorvan {

class TQuickRep_szamlabizonylat;

namespace invoice {

// Installs the rules on the report's bands (replacing rules installed before).
void InstallBandRules(TQuickRep_szamlabizonylat& rep);

// A colour setting stored as 00BBGGRR; 0 stands for `zeroColour`.
QColor ColourFromSetting(int bgr, const QColor& zeroColour);

// Background of detail line `detailNumber` (1, 2, ... over the whole document): white on odd
// lines, the line highlight setting `Nyomtatvany_sorkiemeles` (0 read as white) on even ones.
QColor DetailColour(int detailNumber, int nyomtatvanySorkiemeles);

// Whether the rounding row prints: the rounding difference rounded to 2 decimals (halves to
// even) is not 0.
bool RoundingPrints(double kerekites);

// Values of dataset columns as the rules read them: null as 0 or "".
int IntOf(const QVariant& value);
double FloatOf(const QVariant& value);
std::string TextOf(const QVariant& value);

}  // namespace invoice
}  // namespace dorvan
