#pragma once
// Issuer and customer blocks of printed documents, the user lookup with its cache and the
// printed-form record. The lookups themselves are methods of TDM (issuer_blocks.cpp); the
// records, the user cache and the block composition live here.
//
// A block is a list of lines; a caption and its value are separated by a tab. Stored with a
// document (`kiallito_sorok`, `vevo_sorok` of `bizonylatszoveg_fej`) the lines are joined by
// a single carriage return (BlockText).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "datamodule/module_query.h"
#include "db/dataset.h"

namespace dorvan {

// Issuer of one document.
struct TKiallito {
    std::string nev1;
    std::string nev2;
    std::string iszam;
    std::string telepules;
    std::string cim;
    std::string adoszam;
    std::string adoszam_eu;
    std::string bank_neve;
    std::string bank_szamlaszam;
    std::string bank_szamlaszam_iban;
    std::string bank_swift;
    std::string deviza_nev;  // currency of the bank account
    std::string megjegyzes;  // other data printed in the block
    int penzeszkoz_kod = 0;
    int bizonylat_kod = 0;
    int bizonylat_fajta = 0;
    int raktar_kod = 0;
    int partner_raktar = 0;  // 1 when the warehouse belongs to a partner company
    int partner_kod = 0;     // that partner, or 0
};

// A user of the product (table `munkatars`).
struct TUserInfo {
    int kod = 0;
    std::string nev;
    std::string userid;  // empty when the user was not found
    std::string pass;
    int superuser = 0;
};

// A printed-form definition (table `doc_fej`).
struct TNyomtatvanyInfo {
    int kod = 0;
    std::string nev;
    int Fejlec_kapcsolodik = 0;
    int Fejlec = 0;
    int Alapertelmezett = 0;  // 1: the default form
    int Hasznalatban = 0;     // 1: in use
    std::string azonosito;
    std::string megnevezes;  // nev [" | " leiras] [" (" azonosito ")"]
};

// Users already read, by user id. Holds at most Capacity entries; when full, the entry
// used least recently makes room for the next user read. Users that were not found are not
// kept (each lookup of an unknown id reads the database again and takes no room).
class TUserCache {
  public:
    static constexpr std::size_t Capacity = 100;

    // The cached record of `userid` (exact match), or nullptr. Marks the entry as used.
    const TUserInfo* Find(const std::string& userid);
    // Keeps a record read from the database (ignored when its userid is empty).
    void Add(const TUserInfo& info);
    void Clear();
    std::size_t Count() const { return entries_.size(); }

  private:
    struct Entry {
        TUserInfo info;
        unsigned long long lastUse = 0;
    };
    std::vector<Entry> entries_;
    unsigned long long clock_ = 0;
};

// Lines of a block template (a memo with one item key per line; CR, LF or CR LF end a
// line). A key is used exactly as written, trailing blanks included.
std::vector<std::string> TemplateKeys(std::string_view templateText);

// The issuer block: for each key of the template in order, the lines of that key for `k`
// (conditions on k.bizonylat_fajta: no tax numbers on a receipt sale (3), no bank lines on
// a receipt sale or a goods receipt note (17)). Unknown keys add nothing.
std::vector<std::string> KiallitoLines(const TKiallito& k, std::string_view templateText);

// The customer block from the current row of `d` (columns "partner_..." of the document's
// print texts). Unknown keys add nothing; a key whose column is missing raises FieldNotFound.
std::vector<std::string> VevoLines(const db::DataSet& d, std::string_view templateText);

// The lines joined by single carriage returns, as blocks are stored with documents.
std::string BlockText(const std::vector<std::string>& lines);

// Display text of a printed form: nev, then " | " + leiras when not empty, then
// " (" + azonosito + ")" when not empty.
std::string NyomtatvanyMegnevezes(const std::string& nev, const std::string& leiras,
                                  const std::string& azonosito);

class TDM;

// Issuer and customer blocks, users and printed forms.
class IssuerBlocks {
  public:
    explicit IssuerBlocks(TDM& dm);

    // The individual units of the current line of Raktar_mozgasZQuery.
    ModuleQuery EgyediZQuery;
    // Users read by GetUserInfo (at most 100, the least recently used gives way).
    TUserCache UserCache;
    // The issuer of a document (Prev 1: its "_prev_" copy): the owner, or the partner company
    // whose warehouse the goods leave, with the bank account of the document's money
    // account. A missing row leaves the fields read from it empty or 0.
    void GetKiallito(int BizonylatKod, int Prev, TKiallito& Kiallito);
    // The issuer block of a document by the owner's `kiallito_sorok` template.
    std::vector<std::string> GetKiallitoStringList(int BizonylatKod, int Prev);
    // The customer block by the owner's `vevo_sorok` template, from the current row of a
    // dataset with the "partner_..." columns of `bizonylatszoveg_fej`.
    std::vector<std::string> GetVevoStringList(const db::DataSet& DataSet);
    // A user by user id (exact match), from the cache or the database; `userid` stays empty
    // when there is no such user.
    void GetUserInfo(const std::string& UserID, TUserInfo& Info);
    // A printed form by key; kod 0 (nothing else changed) for key 0.
    void GetNyomtatvanyInfo(int kod, TNyomtatvanyInfo& Info);
    // Handler of EgyediZQuery: binds it to the current line of Raktar_mozgasZQuery.
    void EgyediZQueryBeforeOpen(db::DataSet& DataSet);
    // The owner record (TulajdonosZQuery), opened when it is closed.
    db::Query& OwnerRecord();

  private:
    TDM& dm_;
};

}  // namespace dorvan
