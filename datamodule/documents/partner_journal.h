#pragma once
// The partner event journal: entries numbered per partner, with an optional attached
// document; the names of the event types; and the removal of a label set.

#include <string>

#include "datamodule/common_types.h"
#include "datamodule/module_query.h"

namespace dorvan {

class TDM;

// One journal entry.
struct TEsemenyInfo {
    int kod = 0;
    int naploszam = 0;
    int esemeny_kod = 0;
    std::string megjegyzes;
    std::string leiras;
    TDateTime datum = 0;
    int partner_kod = 0;
};

// The event type of entries added by AddNew_Esemeny.
inline constexpr int kEsemenyKodDokumentum = -10;

class PartnerJournal {
  public:
    explicit PartnerJournal(TDM& dm);

    // Adds an entry with the partner's next journal number (1 for the first); two clients
    // adding entries for one partner at once get distinct numbers. Kind "RTF" with an
    // existing file stores the file's bytes; a file that cannot be read raises and nothing
    // is stored. Returns the new entry's key.
    int AddNew_Esemeny(int PartnerKod, const std::string& Megjegyzes, const std::string& Leiras,
                       TDateTime Datum, const std::string& FileName,
                       const std::string& DokumentumTipus);
    // kod 0 and an empty note when the entry does not exist (the rest unchanged).
    void GetEsemenyInfo(int Kod, TEsemenyInfo& Info);
    // The Hungarian name of an event type; "" when there is none. Cached (close
    // GetEsemenyNevZQuery to read the types again).
    void GetEsemenyNev(int Kod, std::string& Text);
    // Removes a label set and its rows.
    void DeleteCimke(int Kod);

    ModuleQuery GetEsemenyNevZQuery;

  private:
    TDM& dm_;
};

}  // namespace dorvan
