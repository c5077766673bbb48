#include "nav/nav_invoice.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <utility>

#include "config/lib_strings.h"
#include "datamodule/core/lib_common.h"

namespace dorvan::nav {
namespace {

constexpr std::size_t kMaxText = 512;

[[noreturn]] void Missing(const std::string& what) {
    throw NavDataError("Az adóhatósági számlaadat nem készíthető el: " + what);
}

double Round2(double value) {
    const double r = lib_roundTo(2, value);
    return r == 0 ? 0 : r;  // no negative zero
}

std::string Lower(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .toLower()
        .toStdString();
}

// Letters and digits only, upper case.
std::string Compact(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

bool AllDigits(std::string_view text) {
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return !text.empty();
}

// Line breaks and other control characters become blanks, runs of blanks one blank; the
// result is cut to `max` characters.
std::string OneLineText(std::string_view text, std::size_t max) {
    std::string line;
    bool blank = false;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) <= ' ') {
            blank = !line.empty();
            continue;
        }
        if (blank)
            line += ' ';
        blank = false;
        line += c;
    }
    if (Utf8Length(line) <= max)
        return line;
    std::string cut;
    std::size_t n = 0;
    for (const std::string_view ch : Utf8Chars(line)) {
        if (n++ == max)
            break;
        cut += ch;
    }
    return TrimBlanks(cut);
}

struct CountryName {
    const char* name;
    const char* code;
};

// Country names as the product stores them (Hungarian), with their ISO codes.
constexpr std::array kCountries = {
    CountryName{"magyarország", "HU"},
    CountryName{"ausztria", "AT"},
    CountryName{"belgium", "BE"},
    CountryName{"bulgária", "BG"},
    CountryName{"ciprus", "CY"},
    CountryName{"csehország", "CZ"},
    CountryName{"dánia", "DK"},
    CountryName{"egyesült királyság", "GB"},
    CountryName{"nagy-britannia", "GB"},
    CountryName{"észtország", "EE"},
    CountryName{"finnország", "FI"},
    CountryName{"franciaország", "FR"},
    CountryName{"görögország", "GR"},
    CountryName{"hollandia", "NL"},
    CountryName{"horvátország", "HR"},
    CountryName{"írország", "IE"},
    CountryName{"lengyelország", "PL"},
    CountryName{"lettország", "LV"},
    CountryName{"litvánia", "LT"},
    CountryName{"luxemburg", "LU"},
    CountryName{"málta", "MT"},
    CountryName{"németország", "DE"},
    CountryName{"norvégia", "NO"},
    CountryName{"olaszország", "IT"},
    CountryName{"portugália", "PT"},
    CountryName{"románia", "RO"},
    CountryName{"spanyolország", "ES"},
    CountryName{"svájc", "CH"},
    CountryName{"svédország", "SE"},
    CountryName{"szerbia", "RS"},
    CountryName{"szlovákia", "SK"},
    CountryName{"szlovénia", "SI"},
    CountryName{"ukrajna", "UA"},
    CountryName{"amerikai egyesült államok", "US"},
    CountryName{"egyesült államok", "US"},
};

// Public place categories that end the street name in a Hungarian address line.
constexpr std::array kPublicPlaces = {
    "utca",    "u.",     "út",        "útja",   "tér",     "tere",    "körút", "krt.",
    "sugárút", "köz",    "sor",       "sétány", "rakpart", "park",    "liget", "fasor",
    "dűlő",    "lépcső", "lakótelep", "telep",  "udvar",   "határút", "major", "tanya",
    "sziget",  "árok",   "kert",      "domb",   "hegy",    "part",    "lejtő",
};

struct UnitName {
    const char* name;
    const char* unit;
};

// Unit names (lower case) that are one of the schema's units.
constexpr std::array kUnits = {
    UnitName{"db", "PIECE"},
    UnitName{"darab", "PIECE"},
    UnitName{"pcs", "PIECE"},
    UnitName{"pc", "PIECE"},
    UnitName{"stk", "PIECE"},
    UnitName{"kg", "KILOGRAM"},
    UnitName{"kilogramm", "KILOGRAM"},
    UnitName{"t", "TON"},
    UnitName{"tonna", "TON"},
    UnitName{"kwh", "KWH"},
    UnitName{"nap", "DAY"},
    UnitName{"óra", "HOUR"},
    UnitName{"hour", "HOUR"},
    UnitName{"perc", "MINUTE"},
    UnitName{"hónap", "MONTH"},
    UnitName{"hó", "MONTH"},
    UnitName{"l", "LITER"},
    UnitName{"liter", "LITER"},
    UnitName{"km", "KILOMETER"},
    UnitName{"m3", "CUBIC_METER"},
    UnitName{"köbméter", "CUBIC_METER"},
    UnitName{"m", "METER"},
    UnitName{"méter", "METER"},
    UnitName{"fm", "LINEAR_METER"},
    UnitName{"folyóméter", "LINEAR_METER"},
    UnitName{"karton", "CARTON"},
    UnitName{"csomag", "PACK"},
};

// Prefixes of the member states' community VAT numbers (Greece EL, Northern Ireland XI).
constexpr std::array kVatPrefixes = {"AT", "BE", "BG", "CY", "CZ", "DE", "DK", "EE", "EL", "ES",
                                     "FI", "FR", "HR", "HU", "IE", "IT", "LT", "LU", "LV", "MT",
                                     "NL", "PL", "PT", "RO", "SE", "SI", "SK", "XI"};

// Words of a name (lower case, dots and dashes dropped) that tell an organisation: the legal
// forms of companies, associations and public bodies.
constexpr std::array kOrganisationWords = {
    "kft",          "bt",         "zrt",     "nyrt",        "rt",        "kkt",        "kht",
    "nkft",         "nzrt",       "kv",      "szövetkezet", "egyesület", "alapítvány", "egyház",
    "önkormányzat", "hivatal",    "intézet", "nonprofit",   "társaság",  "szövetség",  "kamara",
    "gmbh",         "ag",         "kg",      "ltd",         "limited",   "llc",        "inc",
    "plc",          "corp",       "sa",      "sas",         "sarl",      "srl",        "spa",
    "bv",           "nv",         "ab",      "oy",          "aps",       "sro",        "doo",
    "association",  "foundation", "company",
};

// The name carries an organisation's legal form.
bool OrganisationName(std::string_view name) {
    const QStringList words =
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))
            .toLower()
            .split(QRegularExpression(QStringLiteral("[\\s,;()]+")), Qt::SkipEmptyParts);
    for (QString word : words) {
        word.remove(QLatin1Char('.'));
        word.remove(QLatin1Char('-'));
        const std::string w = word.toStdString();
        for (const char* known : kOrganisationWords) {
            if (w == known)
                return true;
        }
    }
    return false;
}

// A personal tax identifier: ten digits starting with 8.
bool PersonalTaxId(std::string_view text) {
    std::string digits;
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
        else if (c != ' ' && c != '-')
            return false;
    }
    return digits.size() == 10 && digits[0] == '8';
}

// The first eight digits of a Hungarian tax number given alone ("12345678") or as a community
// VAT number ("HU12345678", "HU 12345678").
std::optional<TNavTaxNumber> TaxpayerIdOnly(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (c != ' ')
            compact += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (compact.rfind("HU", 0) == 0)
        compact.erase(0, 2);
    if (compact.size() != 8 || !AllDigits(compact))
        return std::nullopt;
    return TNavTaxNumber{compact, "", ""};
}

bool ValidPostalCode(const std::string& code) {
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Z0-9][A-Z0-9\\s\\-]{1,8}[A-Z0-9]")));
    return pattern.match(QString::fromStdString(code)).hasMatch();
}

bool ValidBankAccount(const std::string& account) {
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(QStringLiteral(
        "[0-9]{8}[-][0-9]{8}[-][0-9]{8}|[0-9]{8}[-][0-9]{8}|[A-Z]{2}[0-9]{2}[0-9A-Za-z]{11,30}")));
    return account.size() >= 15 && account.size() <= 34 &&
           pattern.match(QString::fromStdString(account)).hasMatch();
}

std::string DocumentKindName(int fajta) {
    return lib_bizonylatFajtaNev(fajta);
}

}  // namespace

const char* OperationName(TNavOperation operation) {
    switch (operation) {
        case TNavOperation::Create:
            return "CREATE";
        case TNavOperation::Modify:
            return "MODIFY";
        case TNavOperation::Storno:
            return "STORNO";
    }
    return "CREATE";
}

std::optional<TNavTaxNumber> SplitTaxNumber(std::string_view text) {
    // Digits with blanks or dashes between the parts: 8 + 1 + 2 digits.
    std::string digits;
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)))
            digits += c;
        else if (c != '-' && c != ' ')
            return std::nullopt;
    }
    if (digits.size() != 11 || digits[8] < '1' || digits[8] > '5')
        return std::nullopt;
    return TNavTaxNumber{digits.substr(0, 8), digits.substr(8, 1), digits.substr(9, 2)};
}

std::string CommunityVatNumber(std::string_view text) {
    std::string compact;
    for (const char c : text) {
        if (c == ' ' || c == '-' || c == '.')
            continue;
        compact += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (compact.size() < 4 || compact.size() > 15)
        return "";
    for (std::size_t i = 0; i < compact.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(compact[i]);
        if (i < 2 ? !std::isupper(c) : !(std::isupper(c) || std::isdigit(c)))
            return "";
    }
    const std::string prefix = compact.substr(0, 2);
    for (const char* member : kVatPrefixes) {
        if (prefix == member)
            return compact;
    }
    return "";
}

std::string CountryCode(std::string_view orszag, std::string_view communityVat) {
    const std::string name = Lower(TrimBlanks(orszag));
    for (const CountryName& country : kCountries) {
        if (name == country.name)
            return country.code;
    }
    const std::string trimmed = TrimBlanks(orszag);
    if (trimmed.size() == 2 && std::isalpha(static_cast<unsigned char>(trimmed[0])) &&
        std::isalpha(static_cast<unsigned char>(trimmed[1])))
        return Compact(trimmed);
    const std::string vat = CommunityVatNumber(communityVat);
    if (!vat.empty())
        return vat.substr(0, 2) == "EL" ? "GR" : vat.substr(0, 2);
    return name.empty() ? "HU" : "";
}

TNavAddress MapAddress(const std::string& countryCode, std::string_view iszam,
                       std::string_view telepules, std::string_view cim, const std::string& who,
                       bool withoutPostalCode) {
    TNavAddress address;
    address.countryCode = countryCode;
    address.postalCode = OneLineText(iszam, 100);
    address.city = OneLineText(telepules, 255);
    const std::string street = OneLineText(cim, 255);
    if (address.postalCode.empty() && withoutPostalCode)
        address.postalCode = "0000";
    if (address.postalCode.empty())
        Missing("hiányzik " + who + " irányítószáma");
    for (char& c : address.postalCode)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (!ValidPostalCode(address.postalCode))
        Missing(who + " irányítószáma nem megfelelő: \"" + address.postalCode + "\"");
    if (address.city.empty())
        Missing("hiányzik " + who + " települése");
    if (street.empty())
        Missing("hiányzik " + who + " címe (utca, házszám)");

    // Street name, category, number: the last word that is a public place category splits
    // the line (with at least one word before it).
    const QStringList words = QString::fromStdString(street).split(' ', Qt::SkipEmptyParts);
    for (qsizetype i = words.size() - 1; i >= 1; --i) {
        const std::string word = words[i].toLower().toStdString();
        bool known = false;
        for (const char* place : kPublicPlaces)
            known = known || word == place;
        if (!known)
            continue;
        address.detailed = true;
        address.streetName = words.mid(0, i).join(' ').toStdString();
        address.publicPlaceCategory = words[i].toStdString();
        address.number = words.mid(i + 1).join(' ').toStdString();
        if (Utf8Length(address.number) > 50 || Utf8Length(address.publicPlaceCategory) > 50) {
            address.detailed = false;
            break;
        }
        return address;
    }
    address = TNavAddress{false, address.countryCode, address.postalCode, address.city};
    address.additionalAddressDetail = street;
    return address;
}

TNavVatRate MapVatKey(const TNavVatKeySource& key) {
    const std::string what = "az ÁFA-kulcs (" + std::to_string(key.kod) + " " + key.nev + ")";
    TNavVatRate rate;
    const std::string kategoria = TrimBlanks(key.nav_kategoria);
    if (kategoria == "PERCENTAGE" ||
        (kategoria.empty() && key.mentes == 0 && key.forditott_adozas == 0)) {
        rate.category = TNavVatCategory::Percentage;
        rate.percentage = lib_roundTo(4, key.afakulcs / 100);
        if (rate.percentage < 0 || rate.percentage > 1)
            Missing(what + " százaléka nem megfelelő");
        return rate;
    }
    if (kategoria == "DOMESTIC_REVERSE_CHARGE") {
        rate.category = TNavVatCategory::DomesticReverseCharge;
        return rate;
    }
    if (kategoria == "EXEMPTION" || kategoria == "OUT_OF_SCOPE") {
        rate.category =
            kategoria == "EXEMPTION" ? TNavVatCategory::Exemption : TNavVatCategory::OutOfScope;
        rate.exemptionCase = Compact(key.nav_eset).substr(0, 50);
        rate.exemptionReason = OneLineText(key.nav_indoklas, 200);
        if (rate.exemptionCase.empty())
            Missing("hiányzik " + what + " adóhatósági esetkódja");
        if (rate.exemptionReason.empty())
            Missing("hiányzik " + what + " adóhatósági indoklása");
        return rate;
    }
    Missing("hiányzik " + what + " adóhatósági kategóriája");
}

TNavUnit MapUnit(std::string_view name) {
    const std::string own = OneLineText(name, 50);
    if (own.empty())
        return {};
    const std::string lower = Lower(own);
    for (const UnitName& unit : kUnits) {
        if (lower == unit.name)
            return {unit.unit, ""};
    }
    return {"OWN", own};
}

std::optional<TNavProductCode> MapProductCode(std::string_view code, bool service) {
    std::string digits;
    for (const char c : code) {
        if (c == ' ' || c == '.' || c == '-')
            continue;
        digits += c;
    }
    if (!AllDigits(digits) || digits.size() < 2 || digits.size() > 30)
        return std::nullopt;
    return TNavProductCode{service ? "TESZOR" : "VTSZ", digits};
}

std::string MapPaymentMethod(std::string_view nav, int keszpenzes, int halasztott) {
    const std::string method = TrimBlanks(nav);
    for (const char* known : {"TRANSFER", "CASH", "CARD", "VOUCHER", "OTHER"}) {
        if (method == known)
            return method;
    }
    if (keszpenzes == 1)
        return "CASH";
    if (halasztott == 1)
        return "TRANSFER";
    return "OTHER";
}

TNavCustomer MapCustomer(const TNavCustomerSource& vevo) {
    TNavCustomer customer;
    const std::string adoszam = TrimBlanks(vevo.adoszam);
    const bool hu = adoszam.size() > 2 && Compact(adoszam.substr(0, 2)) == "HU";
    std::optional<TNavTaxNumber> tax = SplitTaxNumber(hu ? TrimBlanks(adoszam.substr(2)) : adoszam);
    if (!tax)
        tax = TaxpayerIdOnly(adoszam);
    std::string community = CommunityVatNumber(vevo.adoszam_eu);
    if (community.empty() && !tax)
        community = CommunityVatNumber(adoszam);
    if (!tax && adoszam.empty() && community.rfind("HU", 0) == 0)
        tax = TaxpayerIdOnly(community);  // a domestic customer known by "HU" + 8 digits
    if (community.rfind("HU", 0) == 0)
        community.clear();
    const bool personal = PersonalTaxId(adoszam);
    const bool natural = personal || !TrimBlanks(vevo.adoazonosito).empty() || vevo.maganszemely;

    if (tax) {
        customer.vatStatus = "DOMESTIC";
        customer.taxNumber = tax;
    } else if (personal) {
        customer.vatStatus = "PRIVATE_PERSON";
    } else if (!community.empty()) {
        customer.vatStatus = "OTHER";
        customer.communityVatNumber = community;
    } else if (!adoszam.empty()) {
        // Neither Hungarian nor of a member state: a third state's tax id.
        if (CountryCode(vevo.orszag, "") == "HU")
            Missing("a vevő adószáma nem magyar adószám: \"" + adoszam + "\"");
        customer.vatStatus = "OTHER";
        customer.thirdStateTaxId = OneLineText(adoszam, 50);
    } else if (!natural && OrganisationName(vevo.nev)) {
        // An organisation without a tax number: reported with name and address.
        customer.vatStatus = "OTHER";
    } else {
        // A natural person, domestic or foreign, without a tax number.
        customer.vatStatus = "PRIVATE_PERSON";
    }
    if (customer.vatStatus == "PRIVATE_PERSON")
        return customer;  // reported without name and address
    customer.name = OneLineText(vevo.nev, kMaxText);
    if (customer.name.empty())
        Missing("hiányzik a vevő neve");
    const std::string country = CountryCode(vevo.orszag, community);
    if (country.empty())
        Missing("a vevő országa nem azonosítható: \"" + TrimBlanks(vevo.orszag) + "\"");
    customer.address = MapAddress(country, vevo.iszam, vevo.telepules, vevo.cim, "a vevő", true);
    return customer;
}

bool ReportingObligation(std::string_view issueDate, std::string_view customerVatStatus,
                         double vatAmountHUF) {
    if (issueDate < "2018-07-01")
        return false;
    if (issueDate < "2020-07-01")
        return customerVatStatus == "DOMESTIC" && std::abs(vatAmountHUF) >= 100000;
    if (issueDate < "2021-01-04")
        return customerVatStatus == "DOMESTIC";
    return true;
}

TNavInvoice BuildNavInvoice(const TNavInvoiceSource& source) {
    if (source.bizonylat_fajta != 5 && source.bizonylat_fajta != 16)
        Missing("a bizonylat nem számla (" + DocumentKindName(source.bizonylat_fajta) + ")");
    TNavInvoice invoice;
    invoice.invoiceNumber = OneLineText(source.bizonylatszam, 50);
    if (invoice.invoiceNumber.empty())
        Missing("hiányzik a számla sorszáma");
    invoice.invoiceIssueDate = source.kelte;
    if (invoice.invoiceIssueDate.empty())
        Missing("hiányzik a számla kelte");
    invoice.deliveryDate = source.telj_datum;
    if (invoice.deliveryDate.empty())
        Missing("hiányzik a teljesítés dátuma");
    invoice.paymentDate = source.fiz_hatarido;
    // The authority takes no date before 2010.
    for (const auto& [date, what] : {std::pair{invoice.invoiceIssueDate, "kelte"},
                                     std::pair{invoice.deliveryDate, "teljesítés dátuma"},
                                     std::pair{invoice.paymentDate, "fizetési határidő"}}) {
        if (!date.empty() && date < "2010-01-01")
            Missing(std::string("a számla ") + what + " (" + date + ") 2010 előtti");
    }

    invoice.invoiceAppearance = source.megjelenes.empty() ? "PAPER" : source.megjelenes;

    // Supplier.
    const TNavSupplierSource& kiallito = source.kiallito;
    if (TrimBlanks(kiallito.adoszam).empty())
        Missing("hiányzik a kiállító adószáma");
    const std::optional<TNavTaxNumber> tax = SplitTaxNumber(TrimBlanks(kiallito.adoszam));
    if (!tax)
        Missing("a kiállító adószáma nem magyar adószám: \"" + TrimBlanks(kiallito.adoszam) + "\"");
    invoice.supplier.taxNumber = *tax;
    invoice.supplier.communityVatNumber = CommunityVatNumber(kiallito.adoszam_eu);
    invoice.supplier.name = OneLineText(kiallito.nev, kMaxText);
    if (invoice.supplier.name.empty())
        Missing("hiányzik a kiállító neve");
    invoice.supplier.address =
        MapAddress("HU", kiallito.iszam, kiallito.telepules, kiallito.cim, "a kiállító", false);
    const std::string account = TrimBlanks(kiallito.bank_szamlaszam);
    const std::string iban = Compact(kiallito.bank_szamlaszam_iban);
    if (ValidBankAccount(account))
        invoice.supplier.bankAccountNumber = account;
    else if (ValidBankAccount(iban))
        invoice.supplier.bankAccountNumber = iban;

    invoice.customer = MapCustomer(source.vevo);

    // A reversing document cancels the invoice it reverses (STORNO). The original is taken
    // as never reported when the register says so, or when it had no reporting obligation.
    if (!TrimBlanks(source.sztornozott_szamlaszam).empty()) {
        invoice.operation = TNavOperation::Storno;
        TNavInvoiceReference reference;
        reference.originalInvoiceNumber = OneLineText(source.sztornozott_szamlaszam, 50);
        reference.modificationIndex = std::max(1, source.modositas_index);
        const bool reported = source.eredeti_jelentve.value_or(
            ReportingObligation(source.eredeti_kelte.empty() ? source.kelte : source.eredeti_kelte,
                                invoice.customer.vatStatus, source.afa_arbevetel_vegosszeg_huf));
        reference.modifyWithoutMaster = !reported;
        invoice.reference = reference;
    }

    // Currency.
    const std::string deviza = Compact(source.deviza_nev);
    invoice.currencyCode = deviza.empty() ? "HUF" : deviza;
    if (invoice.currencyCode.size() != 3)
        Missing("a pénznem nem megfelelő: \"" + source.deviza_nev + "\"");
    invoice.exchangeRate =
        invoice.currencyCode == "HUF" ? 1 : lib_roundTo(6, source.deviza_arfolyam);
    if (invoice.exchangeRate <= 0)
        Missing("hiányzik a(z) " + invoice.currencyCode + " árfolyama");
    invoice.paymentMethod =
        MapPaymentMethod(source.nav_fizetesmod, source.keszpenzes, source.halasztott_fizetesu);

    // Lines and the summary per VAT case.
    if (source.tetelek.empty())
        Missing("a bizonylatnak nincs tétele");
    for (const TNavLineSource& tetel : source.tetelek) {
        TNavLine line;
        line.lineNumber = static_cast<int>(invoice.lines.size()) + 1;
        if (invoice.reference)
            line.lineNumberReference = source.eredeti_sorok_szama + line.lineNumber;
        line.advanceIndicator = source.bizonylat_fajta == 16;  // an advance invoice
        line.service = tetel.tetel_tipus == 0;
        line.productCode = MapProductCode(tetel.tetel_azonosito_kod, line.service);
        line.description = OneLineText(tetel.leiras, kMaxText);
        line.unit = MapUnit(tetel.mee);
        line.expressionIndicator = !line.unit.unitOfMeasure.empty();
        if (line.expressionIndicator) {
            line.quantity = tetel.mennyiseg;
            line.unitPrice = tetel.netto_egysegar;
            line.unitPriceHUF = tetel.netto_egysegar_huf;
        }
        line.netAmount = Round2(tetel.netto_arbevetel);
        line.netAmountHUF = Round2(tetel.netto_arbevetel_huf);
        const double gross = Round2(tetel.brutto_arbevetel);
        const double grossHUF = Round2(tetel.brutto_arbevetel_huf);
        line.grossAmount = gross;
        line.grossAmountHUF = grossHUF;
        line.vatAmount = Round2(gross - line.netAmount);
        line.vatAmountHUF = Round2(grossHUF - line.netAmountHUF);
        line.vatRate = MapVatKey(tetel.afa);

        auto row = std::find_if(invoice.summary.begin(), invoice.summary.end(),
                                [&](const TNavVatSummary& s) { return s.vatRate == line.vatRate; });
        if (row == invoice.summary.end()) {
            invoice.summary.push_back(TNavVatSummary{line.vatRate});
            row = invoice.summary.end() - 1;
        }
        row->netAmount = Round2(row->netAmount + line.netAmount);
        row->netAmountHUF = Round2(row->netAmountHUF + line.netAmountHUF);
        row->vatAmount = Round2(row->vatAmount + *line.vatAmount);
        row->vatAmountHUF = Round2(row->vatAmountHUF + *line.vatAmountHUF);
        row->grossAmount = Round2(row->grossAmount.value_or(0) + gross);
        row->grossAmountHUF = Round2(row->grossAmountHUF.value_or(0) + grossHUF);
        invoice.lines.push_back(std::move(line));
    }

    // Totals as the printed invoice shows them. The printed forint total of a foreign-currency
    // invoice is rounded to whole forints; its gross amount in forints is the sum of the net
    // and VAT amounts in forints.
    invoice.invoiceNetAmount = Round2(source.netto_arbevetel_vegosszeg);
    invoice.invoiceNetAmountHUF = Round2(source.netto_arbevetel_vegosszeg_huf);
    invoice.invoiceVatAmount = Round2(source.afa_arbevetel_vegosszeg);
    invoice.invoiceVatAmountHUF = Round2(source.afa_arbevetel_vegosszeg_huf);
    invoice.invoiceGrossAmount = Round2(source.brutto_arbevetel_vegosszeg);
    invoice.invoiceGrossAmountHUF =
        invoice.currencyCode == "HUF"
            ? Round2(source.brutto_arbevetel_vegosszeg_huf)
            : Round2(invoice.invoiceNetAmountHUF + invoice.invoiceVatAmountHUF);
    return invoice;
}

}  // namespace dorvan::nav
