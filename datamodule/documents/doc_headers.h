#pragma once
// Records of the document-header services: a header's main data and the newest recording
// moment of all headers.

#include <string>

#include "datamodule/common_types.h"
#include "datamodule/module_query.h"
#include "db/dataset.h"

namespace dorvan {

// Main data of a stored document header (`raktar_mozgas_fej`) with the partner name of its
// print text row. `kod` is 0 when the header (or its print text row) does not exist.
struct TRaktar_mozgas_fejInfo {
    int kod = 0;
    std::string bizonylatszam;
    std::string raktar_mozgas_bizonylat;
    int bizonylat_fajta = 0;
    TDateTime datum = 0;
    TDateTime kelte = 0;
    TDateTime telj_datum = 0;
    TDateTime fiz_hatarido = 0;
    // Receives `datum` as well.
    TDateTime datum2 = 0;
    int partner_kod = 0;
    int mozgasnem_kod = 0;
    std::string deviza_nev;
    double deviza_arfolyam = 0;
    int fizetesmod_kod = 0;
    std::string partner_nev;
};

// Recording date and time of the newest header; both 0 when there is none.
struct TBizKelt {
    TDateTime Datum = 0;
    TDateTime Ido = 0;
};

class TDM;

// Document headers and links.
class DocHeaders {
  public:
    explicit DocHeaders(TDM& dm);

    // Document lines of a header (`biz`) and the print texts of the current line; moving
    // in the lines reopens the texts.
    ModuleQuery Raktar_mozgasZQuery;
    ModuleQuery bizonylatszovegZQuery;
    // A header with the partner name of its print text row; kod 0 when either is missing.
    void GetRaktar_mozgas_fejInfo(int kod, TRaktar_mozgas_fejInfo& Info);
    // Key of the first header (lowest key) with this number and kind; -1 when none.
    int GetFejKod(const std::string& Bizonylatszam, int Bizonylat_fajta);
    // `raktar_mozgas_bizonylat` of that header; "" when none.
    void GetRkmozgBiz(const std::string& Bizonylatszam, int Bizonylat_fajta,
                      std::string& raktar_mozgas_bizonylat);
    // `bizonylatszam` of a header; "" when none.
    void GetFobizonylat(int kod, std::string& bizonylatszam);
    // Records the target document of a header; false when there is no such header or the
    // statement failed.
    bool SetCelbizonylat(int kod, int Cel_kod, int Cel_fajta, const std::string& Cel_szam);
    // Recording date and time of the newest header (headers without a date do not count).
    void GetLastBizKelt(TBizKelt& Kelt);
    // Latest `kelte` of a kind; 0 when none.
    TDateTime GetLastFobizBizKelt(int Bizonylat_fajta);
    // Gross cash purchases of a partner in a month (receipts, invoices, purchase tickets,
    // advance invoices; reversals count negative), whole; 0 when none.
    int GetPartner_kp_forgalom(int Partner_kod, int Year, int Month);
    // Erases the snapshot copy of a document in one transaction (a savepoint inside the
    // caller's transaction): all of it or, on an error, none of it (false).
    bool ErasePrev(int kod);
    // Deletes the movement type whose linked type is `kod` (the first one by key).
    void Delete_kapcsolt_mozgasnem(int kod);
    // Handlers: the line texts follow the current line.
    void Raktar_mozgasZQueryAfterScroll(db::DataSet& DataSet);
    void bizonylatszovegZQueryBeforeOpen(db::DataSet& DataSet);

  private:
    TDM& dm_;
};

}  // namespace dorvan
