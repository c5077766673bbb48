#pragma once
// Projects: turnover figures of one project, of a partner's projects or of all projects, the
// date range of a project, moving a document to another project, and the names of a
// project's category, schedule and status.

#include <string>

#include "datamodule/common_types.h"

namespace dorvan {

class TDM;

// Turnover figures, all in forints; the TEgysegar amounts carry the currency "HUF".
struct TProjektForgalomInfo {
    int kod = 0;
    TEgysegar bevetel;                     // revenue
    TEgysegar szamlazott;                  // invoiced sales (copy of szamla)
    TEgysegar szallito_nyitott;            // delivery notes: value not yet invoiced
    TEgysegar projekt_szallito_nyitott;    // project-usage documents: the same
    TEgysegar szamla;                      // invoice totals
    TEgysegar szamla_befizetes;            // received on the invoices (gross only)
    TEgysegar koltseg;                     // cost
    TEgysegar nyilv_osszesen;              // book value of the three document groups
    TEgysegar szallito_nyilv;              // book value of delivery notes
    TEgysegar projekt_szallito_nyilv;      // book value of project-usage documents
    TEgysegar szamla_nyilv;                // book value of invoices
    double konyveles_4 = 0;                // manual bookings of type 4
    double konyveles_5 = 0;                // manual bookings of type 5
    TEgysegar szallitoi_szamla;            // supplier invoices
    TEgysegar szallitoi_szamla_kifizetes;  // paid on the supplier invoices (gross only)
};

// First and last day of a project's activity.
struct TProjektDatum {
    TDateTime datum1 = 0;
    TDateTime datum2 = 0;
};

class Projects {
  public:
    explicit Projects(TDM& dm) : dm_(dm) {}

    // Mode "projekt" (one project), "partner" (the partner's projects) or "" (all). Key 0
    // sets only kod. Another mode is reported and ends the application after the figures of
    // all projects are computed.
    void GetProjektForgalomInfo(int Kod, const std::string& Mode, TProjektForgalomInfo& Info);
    // Key 0: all projects. The first date is the earliest of the start date, the bookings and
    // the documents, the last one the latest of the end date, the bookings, the documents
    // and their due dates; a last date still unknown becomes today's server date, and the
    // first date is never after the last one.
    void GetMaxMinProjektDatum(int Kod, TProjektDatum& Datum);
    // Moves a document to a project and logs the move; false (nothing logged) when there is
    // no such document.
    bool SetProjectKod(int FejKod, int ProjektKod);
    // The Hungarian name (or `Nev`) of a row, with " (megszünt)" for a row not in use.
    // `Table` must be a plain table name.
    void GetNevViaKod(const std::string& Table, int Kod, std::string& Text);
    void GetProjekt_utemezesNev(int Kod, std::string& Text);
    void GetProjekt_besorolasNev(int Kod, std::string& Text);
    void GetProjekt_statuszNev(int Kod, std::string& Text);

  private:
    TDM& dm_;
};

}  // namespace dorvan
