#pragma once
// Records of the document-header services: a header's main data and the newest recording
// moment of all headers.

#include <string>

#include "datamodule/common_types.h"

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

}  // namespace dorvan
