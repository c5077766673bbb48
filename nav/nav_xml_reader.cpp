#include "nav/nav_xml_reader.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>
#include <charconv>
#include <memory>
#include <string>
#include <utility>

namespace dorvan::nav {
namespace {

// The element tree of the document, by local names.
struct Node {
    std::string name;
    std::string text;
    std::vector<std::unique_ptr<Node>> children;

    const Node* Child(std::string_view childName) const {
        for (const auto& child : children) {
            if (child->name == childName)
                return child.get();
        }
        return nullptr;
    }
    std::vector<const Node*> All(std::string_view childName) const {
        std::vector<const Node*> found;
        for (const auto& child : children) {
            if (child->name == childName)
                found.push_back(child.get());
        }
        return found;
    }
    // The node at a path of child names ("a/b/c"); nullptr when any is missing.
    const Node* At(std::string_view path) const {
        const Node* node = this;
        while (node && !path.empty()) {
            const auto slash = path.find('/');
            node = node->Child(path.substr(0, slash));
            path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        }
        return node;
    }
    std::string Text(std::string_view path) const {
        const Node* node = At(path);
        return node ? node->text : std::string();
    }
};

[[noreturn]] void Bad(const std::string& what) {
    throw NavDataError("A számlaadat nem olvasható: " + what);
}

std::unique_ptr<Node> Parse(std::string_view xml) {
    QXmlStreamReader reader(QByteArray(xml.data(), static_cast<qsizetype>(xml.size())));
    std::unique_ptr<Node> root;
    std::vector<Node*> open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                auto node = std::make_unique<Node>();
                node->name = reader.name().toString().toStdString();
                Node* raw = node.get();
                if (open.empty())
                    root = std::move(node);
                else
                    open.back()->children.push_back(std::move(node));
                open.push_back(raw);
                break;
            }
            case QXmlStreamReader::Characters:
                if (!open.empty())
                    open.back()->text += reader.text().toString().toStdString();
                break;
            case QXmlStreamReader::EndElement:
                if (!open.empty())
                    open.pop_back();
                break;
            default:
                break;
        }
    }
    if (reader.hasError())
        Bad(reader.errorString().toStdString() + " (sor " + std::to_string(reader.lineNumber()) +
            ")");
    if (!root || root->name != "InvoiceData")
        Bad("nem InvoiceData dokumentum");
    return root;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<double> Number(const Node& node, std::string_view path) {
    const Node* at = node.At(path);
    if (!at)
        return std::nullopt;
    const std::string text = Trimmed(at->text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        Bad("nem szám: " + std::string(path) + " = \"" + text + "\"");
    return value;
}

double NumberOr0(const Node& node, std::string_view path) {
    return Number(node, path).value_or(0);
}

bool Flag(const Node& node, std::string_view path) {
    const std::string text = Trimmed(node.Text(path));
    return text == "true" || text == "1";
}

TNavTaxNumber TaxNumber(const Node& node) {
    return {Trimmed(node.Text("taxpayerId")), Trimmed(node.Text("vatCode")),
            Trimmed(node.Text("countyCode"))};
}

TNavAddress Address(const Node* node) {
    TNavAddress address;
    if (!node)
        return address;
    const Node* detailed = node->Child("detailedAddress");
    const Node* a = detailed ? detailed : node->Child("simpleAddress");
    if (!a)
        return address;
    address.detailed = detailed != nullptr;
    address.countryCode = Trimmed(a->Text("countryCode"));
    address.postalCode = Trimmed(a->Text("postalCode"));
    address.city = a->Text("city");
    address.streetName = a->Text("streetName");
    address.publicPlaceCategory = a->Text("publicPlaceCategory");
    address.number = a->Text("number");
    address.additionalAddressDetail = a->Text("additionalAddressDetail");
    return address;
}

TNavVatRate VatRate(const Node* node) {
    TNavVatRate rate;
    if (!node)
        return rate;
    using C = TNavVatCategory;
    if (node->Child("vatPercentage")) {
        rate.category = C::Percentage;
        rate.percentage = NumberOr0(*node, "vatPercentage");
    } else if (node->Child("vatContent")) {
        rate.category = C::Content;
        rate.percentage = NumberOr0(*node, "vatContent");
    } else if (const Node* e = node->Child("vatExemption")) {
        rate.category = C::Exemption;
        rate.exemptionCase = Trimmed(e->Text("case"));
        rate.exemptionReason = e->Text("reason");
    } else if (const Node* o = node->Child("vatOutOfScope")) {
        rate.category = C::OutOfScope;
        rate.exemptionCase = Trimmed(o->Text("case"));
        rate.exemptionReason = o->Text("reason");
    } else if (node->Child("vatDomesticReverseCharge")) {
        rate.category = C::DomesticReverseCharge;
    } else if (node->Child("marginSchemeIndicator")) {
        rate.category = C::MarginScheme;
        rate.exemptionCase = Trimmed(node->Text("marginSchemeIndicator"));
    } else if (const Node* m = node->Child("vatAmountMismatch")) {
        rate.category = C::AmountMismatch;
        rate.percentage = NumberOr0(*m, "vatRate");
        rate.exemptionCase = Trimmed(m->Text("case"));
    } else if (node->Child("noVatCharge")) {
        rate.category = C::NoVatCharge;
    }
    return rate;
}

TNavLine Line(const Node& node) {
    TNavLine line;
    line.lineNumber = static_cast<int>(NumberOr0(node, "lineNumber"));
    if (const Node* ref = node.Child("lineModificationReference")) {
        line.lineNumberReference = static_cast<int>(NumberOr0(*ref, "lineNumberReference"));
        line.lineOperation = Trimmed(ref->Text("lineOperation"));
    }
    line.advanceIndicator = Flag(node, "advanceData/advanceIndicator");
    if (const Node* code = node.At("productCodes/productCode")) {
        const std::string value = Trimmed(code->Text("productCodeValue"));
        line.productCode =
            TNavProductCode{Trimmed(code->Text("productCodeCategory")),
                            value.empty() ? Trimmed(code->Text("productCodeOwnValue")) : value};
    }
    line.expressionIndicator = Flag(node, "lineExpressionIndicator");
    line.service = Trimmed(node.Text("lineNatureIndicator")) == "SERVICE";
    line.description = node.Text("lineDescription");
    line.quantity = Number(node, "quantity");
    line.unit = {Trimmed(node.Text("unitOfMeasure")), node.Text("unitOfMeasureOwn")};
    line.unitPrice = Number(node, "unitPrice");
    line.unitPriceHUF = Number(node, "unitPriceHUF");
    line.discountValue = Number(node, "lineDiscountData/discountValue");
    line.discountRate = Number(node, "lineDiscountData/discountRate");
    line.amounts = TNavLineAmounts::None;
    if (const Node* normal = node.Child("lineAmountsNormal")) {
        line.amounts = TNavLineAmounts::Normal;
        line.netAmount = NumberOr0(*normal, "lineNetAmountData/lineNetAmount");
        line.netAmountHUF = NumberOr0(*normal, "lineNetAmountData/lineNetAmountHUF");
        line.vatRate = VatRate(normal->Child("lineVatRate"));
        line.vatAmount = Number(*normal, "lineVatData/lineVatAmount");
        line.vatAmountHUF = Number(*normal, "lineVatData/lineVatAmountHUF");
        line.grossAmount = Number(*normal, "lineGrossAmountData/lineGrossAmountNormal");
        line.grossAmountHUF = Number(*normal, "lineGrossAmountData/lineGrossAmountNormalHUF");
    } else if (const Node* simple = node.Child("lineAmountsSimplified")) {
        line.amounts = TNavLineAmounts::Simplified;
        line.vatRate = VatRate(simple->Child("lineVatRate"));
        line.grossAmount = Number(*simple, "lineGrossAmountSimplified");
        line.grossAmountHUF = Number(*simple, "lineGrossAmountSimplifiedHUF");
    }
    if (const Node* aggregate = node.Child("aggregateInvoiceLineData")) {
        line.lineExchangeRate = Number(*aggregate, "lineExchangeRate");
        line.lineDeliveryDate = Trimmed(aggregate->Text("lineDeliveryDate"));
    }
    return line;
}

TNavInvoice Invoice(const Node& root, const Node& node) {
    TNavInvoice invoice;
    invoice.invoiceNumber = root.Text("invoiceNumber");
    invoice.invoiceIssueDate = Trimmed(root.Text("invoiceIssueDate"));
    invoice.completenessIndicator = Flag(root, "completenessIndicator");
    if (const Node* ref = node.Child("invoiceReference")) {
        invoice.operation = TNavOperation::Modify;
        TNavInvoiceReference reference;
        reference.originalInvoiceNumber = ref->Text("originalInvoiceNumber");
        reference.modifyWithoutMaster = Flag(*ref, "modifyWithoutMaster");
        reference.modificationIndex = static_cast<int>(NumberOr0(*ref, "modificationIndex"));
        invoice.reference = reference;
    }
    const Node* head = node.Child("invoiceHead");
    if (!head)
        Bad("hiányzik az invoiceHead");
    if (const Node* supplier = head->Child("supplierInfo")) {
        if (const Node* tax = supplier->Child("supplierTaxNumber"))
            invoice.supplier.taxNumber = TaxNumber(*tax);
        invoice.supplier.communityVatNumber = Trimmed(supplier->Text("communityVatNumber"));
        invoice.supplier.name = supplier->Text("supplierName");
        invoice.supplier.address = Address(supplier->Child("supplierAddress"));
        invoice.supplier.bankAccountNumber = Trimmed(supplier->Text("supplierBankAccountNumber"));
    }
    if (const Node* customer = head->Child("customerInfo")) {
        TNavCustomer& c = invoice.customer;
        c.vatStatus = Trimmed(customer->Text("customerVatStatus"));
        if (const Node* vat = customer->Child("customerVatData")) {
            if (const Node* tax = vat->Child("customerTaxNumber"))
                c.taxNumber = TaxNumber(*tax);
            c.communityVatNumber = Trimmed(vat->Text("communityVatNumber"));
            c.thirdStateTaxId = vat->Text("thirdStateTaxId");
        }
        c.name = customer->Text("customerName");
        if (const Node* address = customer->Child("customerAddress"))
            c.address = Address(address);
    }
    if (const Node* detail = head->Child("invoiceDetail")) {
        invoice.invoiceCategory = Trimmed(detail->Text("invoiceCategory"));
        invoice.deliveryDate = Trimmed(detail->Text("invoiceDeliveryDate"));
        invoice.currencyCode = Trimmed(detail->Text("currencyCode"));
        invoice.exchangeRate = NumberOr0(*detail, "exchangeRate");
        invoice.paymentMethod = Trimmed(detail->Text("paymentMethod"));
        invoice.paymentDate = Trimmed(detail->Text("paymentDate"));
        invoice.invoiceAppearance = Trimmed(detail->Text("invoiceAppearance"));
    }
    if (const Node* lines = node.Child("invoiceLines")) {
        invoice.mergedItemIndicator = Flag(*lines, "mergedItemIndicator");
        for (const Node* line : lines->All("line"))
            invoice.lines.push_back(Line(*line));
    }
    if (const Node* summary = node.Child("invoiceSummary")) {
        if (const Node* normal = summary->Child("summaryNormal")) {
            for (const Node* row : normal->All("summaryByVatRate")) {
                TNavVatSummary s;
                s.vatRate = VatRate(row->Child("vatRate"));
                s.netAmount = NumberOr0(*row, "vatRateNetData/vatRateNetAmount");
                s.netAmountHUF = NumberOr0(*row, "vatRateNetData/vatRateNetAmountHUF");
                s.vatAmount = NumberOr0(*row, "vatRateVatData/vatRateVatAmount");
                s.vatAmountHUF = NumberOr0(*row, "vatRateVatData/vatRateVatAmountHUF");
                s.grossAmount = Number(*row, "vatRateGrossData/vatRateGrossAmount");
                s.grossAmountHUF = Number(*row, "vatRateGrossData/vatRateGrossAmountHUF");
                invoice.summary.push_back(s);
            }
            invoice.invoiceNetAmount = NumberOr0(*normal, "invoiceNetAmount");
            invoice.invoiceNetAmountHUF = NumberOr0(*normal, "invoiceNetAmountHUF");
            invoice.invoiceVatAmount = NumberOr0(*normal, "invoiceVatAmount");
            invoice.invoiceVatAmountHUF = NumberOr0(*normal, "invoiceVatAmountHUF");
        } else {
            const std::vector<const Node*> rows = summary->All("summarySimplified");
            invoice.summarySimplified = !rows.empty();
            for (const Node* row : rows) {
                TNavVatSummary s;
                s.vatRate = VatRate(row->Child("vatRate"));
                s.grossAmount = Number(*row, "vatContentGrossAmount");
                s.grossAmountHUF = Number(*row, "vatContentGrossAmountHUF");
                invoice.summary.push_back(s);
            }
        }
        invoice.invoiceGrossAmount = Number(*summary, "summaryGrossData/invoiceGrossAmount");
        invoice.invoiceGrossAmountHUF = Number(*summary, "summaryGrossData/invoiceGrossAmountHUF");
    }
    return invoice;
}

}  // namespace

std::vector<TNavInvoice> ReadNavInvoiceXml(std::string_view xml) {
    const std::unique_ptr<Node> root = Parse(xml);
    const Node* main = root->Child("invoiceMain");
    if (!main)
        Bad("hiányzik az invoiceMain");
    std::vector<TNavInvoice> invoices;
    if (const Node* invoice = main->Child("invoice"))
        invoices.push_back(Invoice(*root, *invoice));
    for (const Node* batch : main->All("batchInvoice")) {
        const Node* invoice = batch->Child("invoice");
        if (!invoice)
            Bad("hiányzik a kötegelt módosítás számlája");
        invoices.push_back(Invoice(*root, *invoice));
    }
    if (invoices.empty())
        Bad("nincs benne számla");
    return invoices;
}

}  // namespace dorvan::nav
