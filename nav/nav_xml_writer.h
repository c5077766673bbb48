#pragma once
// The `InvoiceData` document (namespace http://schemas.nav.gov.hu/OSA/3.0/data, UTF-8) of
// the invoice data records, written with Qt's XML stream writer.

#include <string>

#include "nav/nav_invoice.h"

namespace dorvan::nav {

inline constexpr const char* kDataNamespace = "http://schemas.nav.gov.hu/OSA/3.0/data";
inline constexpr const char* kBaseNamespace = "http://schemas.nav.gov.hu/OSA/3.0/base";
inline constexpr const char* kCommonNamespace = "http://schemas.nav.gov.hu/NTCA/1.0/common";

// The whole document as UTF-8 bytes.
std::string WriteNavInvoiceXml(const TNavInvoice& invoice);

// A decimal in plain notation with at most `fractionDigits` decimals, trailing zeros of the
// fraction dropped ("389.6", "-1", "0.27"); `minFractionDigits` keeps that many (amounts
// "-12.50").
std::string DecimalText(double value, int fractionDigits, int minFractionDigits = 0);

}  // namespace dorvan::nav
