#include "nav/nav_xml_writer.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>
#include <charconv>
#include <optional>

namespace dorvan::nav {
namespace {

QString Q(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Amount(double value) {
    return DecimalText(value, 2, 2);
}

class Writer {
  public:
    explicit Writer(QByteArray& out) : xml_(&out) {
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(2);
    }

    void Document(const TNavInvoice& invoice) {
        xml_.writeStartDocument();
        xml_.writeNamespace(Q(kBaseNamespace), QStringLiteral("base"));
        xml_.writeNamespace(Q(kCommonNamespace), QStringLiteral("common"));
        xml_.writeDefaultNamespace(Q(kDataNamespace));
        Start("InvoiceData");
        Text("invoiceNumber", invoice.invoiceNumber);
        Text("invoiceIssueDate", invoice.invoiceIssueDate);
        Text("completenessIndicator", Bool(invoice.completenessIndicator));
        Start("invoiceMain");
        Start("invoice");
        if (invoice.reference) {
            Start("invoiceReference");
            Text("originalInvoiceNumber", invoice.reference->originalInvoiceNumber);
            Text("modifyWithoutMaster", Bool(invoice.reference->modifyWithoutMaster));
            Text("modificationIndex", std::to_string(invoice.reference->modificationIndex));
            End();
        }
        Head(invoice);
        Lines(invoice);
        Summary(invoice);
        End();  // invoice
        End();  // invoiceMain
        End();  // InvoiceData
        xml_.writeEndDocument();
    }

  private:
    void Start(const char* name) {
        xml_.writeStartElement(Q(kDataNamespace), QString::fromLatin1(name));
    }
    void StartBase(const char* name) {
        xml_.writeStartElement(Q(kBaseNamespace), QString::fromLatin1(name));
    }
    void End() { xml_.writeEndElement(); }
    void Text(const char* name, const std::string& value) {
        xml_.writeTextElement(Q(kDataNamespace), QString::fromLatin1(name), Q(value));
    }
    void BaseText(const char* name, const std::string& value) {
        xml_.writeTextElement(Q(kBaseNamespace), QString::fromLatin1(name), Q(value));
    }

    static std::string Bool(bool value) { return value ? "true" : "false"; }

    void TaxNumber(const char* name, const TNavTaxNumber& tax) {
        Start(name);
        BaseText("taxpayerId", tax.taxpayerId);
        if (!tax.vatCode.empty())
            BaseText("vatCode", tax.vatCode);
        if (!tax.countyCode.empty())
            BaseText("countyCode", tax.countyCode);
        End();
    }

    void Address(const char* name, const TNavAddress& address) {
        Start(name);
        StartBase(address.detailed ? "detailedAddress" : "simpleAddress");
        BaseText("countryCode", address.countryCode);
        BaseText("postalCode", address.postalCode);
        BaseText("city", address.city);
        if (address.detailed) {
            BaseText("streetName", address.streetName);
            BaseText("publicPlaceCategory", address.publicPlaceCategory);
            if (!address.number.empty())
                BaseText("number", address.number);
        } else {
            BaseText("additionalAddressDetail", address.additionalAddressDetail);
        }
        End();
        End();
    }

    void Head(const TNavInvoice& invoice) {
        Start("invoiceHead");
        const TNavSupplier& supplier = invoice.supplier;
        Start("supplierInfo");
        TaxNumber("supplierTaxNumber", supplier.taxNumber);
        if (!supplier.communityVatNumber.empty())
            Text("communityVatNumber", supplier.communityVatNumber);
        Text("supplierName", supplier.name);
        Address("supplierAddress", supplier.address);
        if (!supplier.bankAccountNumber.empty())
            Text("supplierBankAccountNumber", supplier.bankAccountNumber);
        End();

        if (!invoice.customer.vatStatus.empty())
            Customer(invoice.customer);
        Details(invoice);
        End();
    }

    void Customer(const TNavCustomer& customer) {
        Start("customerInfo");
        Text("customerVatStatus", customer.vatStatus);
        if (customer.taxNumber || !customer.communityVatNumber.empty() ||
            !customer.thirdStateTaxId.empty()) {
            Start("customerVatData");
            if (customer.taxNumber)
                TaxNumber("customerTaxNumber", *customer.taxNumber);
            else if (!customer.communityVatNumber.empty())
                Text("communityVatNumber", customer.communityVatNumber);
            else
                Text("thirdStateTaxId", customer.thirdStateTaxId);
            End();
        }
        if (!customer.name.empty())
            Text("customerName", customer.name);
        if (customer.address)
            Address("customerAddress", *customer.address);
        End();
    }

    void Details(const TNavInvoice& invoice) {
        Start("invoiceDetail");
        Text("invoiceCategory", invoice.invoiceCategory);
        Text("invoiceDeliveryDate", invoice.deliveryDate);
        Text("currencyCode", invoice.currencyCode);
        Text("exchangeRate", DecimalText(invoice.exchangeRate, 6));
        if (!invoice.paymentMethod.empty())
            Text("paymentMethod", invoice.paymentMethod);
        if (!invoice.paymentDate.empty())
            Text("paymentDate", invoice.paymentDate);
        Text("invoiceAppearance", invoice.invoiceAppearance);
        End();
    }

    void VatRate(const char* name, const TNavVatRate& rate) {
        Start(name);
        switch (rate.category) {
            case TNavVatCategory::Percentage:
                Text("vatPercentage", DecimalText(rate.percentage, 4));
                break;
            case TNavVatCategory::Content:
                Text("vatContent", DecimalText(rate.percentage, 4));
                break;
            case TNavVatCategory::Exemption:
            case TNavVatCategory::OutOfScope:
                Start(rate.category == TNavVatCategory::Exemption ? "vatExemption"
                                                                  : "vatOutOfScope");
                Text("case", rate.exemptionCase);
                Text("reason", rate.exemptionReason);
                End();
                break;
            case TNavVatCategory::DomesticReverseCharge:
                Text("vatDomesticReverseCharge", "true");
                break;
            case TNavVatCategory::MarginScheme:
                Text("marginSchemeIndicator", rate.exemptionCase);
                break;
            case TNavVatCategory::AmountMismatch:
                Start("vatAmountMismatch");
                Text("vatRate", DecimalText(rate.percentage, 4));
                Text("case", rate.exemptionCase);
                End();
                break;
            case TNavVatCategory::NoVatCharge:
                Text("noVatCharge", "true");
                break;
        }
        End();
    }

    void Lines(const TNavInvoice& invoice) {
        if (invoice.lines.empty())
            return;
        Start("invoiceLines");
        Text("mergedItemIndicator", Bool(invoice.mergedItemIndicator));
        for (const TNavLine& line : invoice.lines) {
            Start("line");
            Text("lineNumber", std::to_string(line.lineNumber));
            if (line.lineNumberReference) {
                Start("lineModificationReference");
                Text("lineNumberReference", std::to_string(*line.lineNumberReference));
                Text("lineOperation", line.lineOperation);
                End();
            }
            if (line.advanceIndicator) {
                Start("advanceData");
                Text("advanceIndicator", "true");
                End();
            }
            if (line.productCode) {
                Start("productCodes");
                Start("productCode");
                Text("productCodeCategory", line.productCode->category);
                Text("productCodeValue", line.productCode->value);
                End();
                End();
            }
            Text("lineExpressionIndicator", Bool(line.expressionIndicator));
            Text("lineNatureIndicator", line.service ? "SERVICE" : "PRODUCT");
            if (!line.description.empty())
                Text("lineDescription", line.description);
            Quantity("quantity", line.quantity);
            if (!line.unit.unitOfMeasure.empty())
                Text("unitOfMeasure", line.unit.unitOfMeasure);
            if (!line.unit.own.empty())
                Text("unitOfMeasureOwn", line.unit.own);
            Quantity("unitPrice", line.unitPrice);
            Quantity("unitPriceHUF", line.unitPriceHUF);
            if (line.discountValue || line.discountRate) {
                Start("lineDiscountData");
                if (line.discountValue)
                    Text("discountValue", Amount(*line.discountValue));
                if (line.discountRate)
                    Text("discountRate", DecimalText(*line.discountRate, 4));
                End();
            }
            if (line.amounts == TNavLineAmounts::Normal) {
                Start("lineAmountsNormal");
                Start("lineNetAmountData");
                Text("lineNetAmount", Amount(line.netAmount));
                Text("lineNetAmountHUF", Amount(line.netAmountHUF));
                End();
                VatRate("lineVatRate", line.vatRate);
                if (line.vatAmount && line.vatAmountHUF) {
                    Start("lineVatData");
                    Text("lineVatAmount", Amount(*line.vatAmount));
                    Text("lineVatAmountHUF", Amount(*line.vatAmountHUF));
                    End();
                }
                if (line.grossAmount && line.grossAmountHUF) {
                    Start("lineGrossAmountData");
                    Text("lineGrossAmountNormal", Amount(*line.grossAmount));
                    Text("lineGrossAmountNormalHUF", Amount(*line.grossAmountHUF));
                    End();
                }
                End();
            } else if (line.amounts == TNavLineAmounts::Simplified) {
                Start("lineAmountsSimplified");
                VatRate("lineVatRate", line.vatRate);
                Text("lineGrossAmountSimplified", Amount(line.grossAmount.value_or(0)));
                Text("lineGrossAmountSimplifiedHUF", Amount(line.grossAmountHUF.value_or(0)));
                End();
            }
            if (line.lineExchangeRate || !line.lineDeliveryDate.empty()) {
                Start("aggregateInvoiceLineData");
                if (line.lineExchangeRate)
                    Text("lineExchangeRate", DecimalText(*line.lineExchangeRate, 6));
                Text("lineDeliveryDate", line.lineDeliveryDate);
                End();
            }
            End();  // line
        }
        End();
    }

    void Quantity(const char* name, const std::optional<double>& value) {
        if (value)
            Text(name, DecimalText(*value, 10));
    }

    void Summary(const TNavInvoice& invoice) {
        Start("invoiceSummary");
        if (invoice.summarySimplified) {
            for (const TNavVatSummary& row : invoice.summary) {
                Start("summarySimplified");
                VatRate("vatRate", row.vatRate);
                Text("vatContentGrossAmount", Amount(row.grossAmount.value_or(0)));
                Text("vatContentGrossAmountHUF", Amount(row.grossAmountHUF.value_or(0)));
                End();
            }
        } else {
            Start("summaryNormal");
            for (const TNavVatSummary& row : invoice.summary) {
                Start("summaryByVatRate");
                VatRate("vatRate", row.vatRate);
                Start("vatRateNetData");
                Text("vatRateNetAmount", Amount(row.netAmount));
                Text("vatRateNetAmountHUF", Amount(row.netAmountHUF));
                End();
                Start("vatRateVatData");
                Text("vatRateVatAmount", Amount(row.vatAmount));
                Text("vatRateVatAmountHUF", Amount(row.vatAmountHUF));
                End();
                if (row.grossAmount && row.grossAmountHUF) {
                    Start("vatRateGrossData");
                    Text("vatRateGrossAmount", Amount(*row.grossAmount));
                    Text("vatRateGrossAmountHUF", Amount(*row.grossAmountHUF));
                    End();
                }
                End();
            }
            Text("invoiceNetAmount", Amount(invoice.invoiceNetAmount));
            Text("invoiceNetAmountHUF", Amount(invoice.invoiceNetAmountHUF));
            Text("invoiceVatAmount", Amount(invoice.invoiceVatAmount));
            Text("invoiceVatAmountHUF", Amount(invoice.invoiceVatAmountHUF));
            End();
        }
        if (invoice.invoiceGrossAmount && invoice.invoiceGrossAmountHUF) {
            Start("summaryGrossData");
            Text("invoiceGrossAmount", Amount(*invoice.invoiceGrossAmount));
            Text("invoiceGrossAmountHUF", Amount(*invoice.invoiceGrossAmountHUF));
            End();
        }
        End();
    }

    QXmlStreamWriter xml_;
};

}  // namespace

std::string DecimalText(double value, int fractionDigits, int minFractionDigits) {
    // Locale-independent (the application may have set a locale with a decimal comma).
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, fractionDigits);
    std::string text(buffer, result.ptr);
    const auto dot = text.find('.');
    if (dot != std::string::npos) {
        std::size_t keep = text.size();
        while (keep > dot + 1 + static_cast<std::size_t>(minFractionDigits) &&
               text[keep - 1] == '0')
            --keep;
        if (keep == dot + 1)
            keep = dot;
        text.resize(keep);
    }
    // No negative zero.
    bool zero = true;
    for (const char c : text)
        zero = zero && (c == '-' || c == '0' || c == '.');
    if (zero && !text.empty() && text[0] == '-')
        text.erase(0, 1);
    return text;
}

std::string WriteNavInvoiceXml(const TNavInvoice& invoice) {
    QByteArray out;
    Writer(out).Document(invoice);
    return out.toStdString();
}

}  // namespace dorvan::nav
