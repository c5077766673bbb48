#pragma once
// The report model: a paper, bands and their controls, page-level items and the hooks the
// report's own code binds by name. The model is data (loaded from a design file by
// ReportDesignLoader) and may be changed freely before a run: enabled flags, captions,
// positions, heights and colours.

#include <QColor>
#include <QImage>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "report/engine/data_source.h"
#include "report/engine/report_types.h"

namespace dorvan::report {

enum class ControlKind {
    Label,       // fixed caption
    DataText,    // a column of a dataset, with a number mask or display format
    SysData,     // page number, detail number, ...
    Expression,  // "SUM(DataSet.column)" (a running sum) or "DataSet.column"
    Memo,        // fixed lines
    ExprMemo,    // lines with {column} placeholders filled from the master row
    RichText,    // RTF (or plain) text block
    Picture,
    FrameLine,  // a vertical divider at the control's horizontal centre, down to the band bottom
    Shape,
};

enum class SysDataKind { PageNumber, DetailNumber, ReportTitle, Date, Time };
enum class ShapeKind { HorizontalLine, VerticalLine, Rectangle, Circle };

struct Control {
    std::string name;
    ControlKind kind = ControlKind::Label;
    bool enabled = true;
    // Millimetres, relative to the band (page-level items: to the paper's top-left corner).
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    Alignment alignment = Alignment::Left;
    FontSpec font;
    bool grows = false;  // wraps to its width and stretches its band
    FrameSides frame;
    QColor background;  // invalid: transparent

    std::string caption;  // Label
    std::string dataSet;  // DataText, Expression: empty means the master dataset
    std::string field;    // DataText: column name
    std::string mask;     // number mask or date display format
    SysDataKind sysData = SysDataKind::PageNumber;
    std::string expression;  // Expression
    bool resetAfterPrint = false;
    std::vector<std::string> lines;  // Memo, ExprMemo
    std::string richText;            // RichText: RTF, or plain text
    QImage picture;                  // Picture
    bool stretch = false;
    bool autoSize = false;
    ShapeKind shape = ShapeKind::Rectangle;
    QColor penColour = QColor(Qt::black);
    double penWidth = 0.26;  // mm

    // Running sum of an Expression (kept between rows of a run).
    double sum = 0;

    // Positions in design pixels (96 per inch).
    double LeftPx() const { return MmToPx(left); }
    double TopPx() const { return MmToPx(top); }
    double WidthPx() const { return MmToPx(width); }
    double HeightPx() const { return MmToPx(height); }
    void SetLeftPx(double px) { left = PxToMm(px); }
    void SetTopPx(double px) { top = PxToMm(px); }
    void SetWidthPx(double px) { width = PxToMm(px); }
    void SetHeightPx(double px) { height = PxToMm(px); }

    // Loaders for pictures, rich text and memo lines (throw ReportError when unreadable).
    void LoadPictureFromFile(const std::string& path);
    void LoadRichTextFromFile(const std::string& path);
    void LoadLinesFromFile(const std::string& path);
    // The column a "SUM(DataSet.column)" or "DataSet.column" expression reads; the data set
    // part (empty when absent) goes to *dataSetName.
    std::string ExpressionColumn(std::string* dataSetName = nullptr) const;
    bool IsSum() const;
};

enum class BandType {
    Title,         // once, at the top of the first page (after the page header)
    PageHeader,    // top of every page
    ColumnHeader,  // every page, after the page header (and the title)
    GroupHeader,   // when its expression's value changes
    Detail,        // once per master row
    GroupFooter,   // after the last row of its group
    Summary,       // once, after the last row
    PageFooter,    // bottom of every page
    Child,         // after its parent, even when the parent did not print
};

struct Band;
// A band's before-print handler: may change the band and its controls, and clear `print`
// to suppress the band. Runs only for enabled bands.
using BeforePrintHandler = std::function<void(Band& band, bool& print)>;

struct Band {
    std::string name;
    BandType type = BandType::Detail;
    bool enabled = true;
    double height = 0;  // mm, design height; growing controls make a printed band taller
    FrameSides frame;
    QColor colour;           // background; invalid: none
    std::string parent;      // Child: the band it follows
    std::string expression;  // GroupHeader: "DataSet.column" or "column" of the master
    std::string footer;      // GroupHeader: name of its GroupFooter band
    std::string keepWith;    // a band of the same chain that must be on the same page
    std::vector<Control> controls;
    BeforePrintHandler beforePrint;

    double HeightPx() const { return MmToPx(height); }
    void SetHeightPx(double px) { height = PxToMm(px); }

    Control& ControlByName(std::string_view controlName);  // throws ReportError
    Control* FindControl(std::string_view controlName);
};

struct Report {
    std::string name;
    std::string title;        // print job name and preview caption
    double paperWidth = 210;  // mm
    double paperHeight = 297;
    Margins margins;
    FontSpec baseFont;
    bool printIfEmpty = true;
    bool pageHeaderOnFirstPage = true;
    bool pageFooterOnLastPage = true;
    std::string master;  // name of the master dataset

    std::vector<Band> bands;  // design order
    std::vector<Control> pageItems;

    // Runs once before the first page of every run.
    std::function<void(Report&)> onBeforePrint;

    Band& BandByName(std::string_view bandName);  // throws ReportError
    Band* FindBand(std::string_view bandName);
    // Searches the bands and the page-level items.
    Control& ControlByName(std::string_view controlName);  // throws ReportError
    Control* FindControl(std::string_view controlName);
    template <typename F>
    void ForEachControl(F&& f) {
        for (auto& band : bands)
            for (auto& control : band.controls)
                f(control);
        for (auto& control : pageItems)
            f(control);
    }
    void SetBeforePrint(std::string_view bandName, BeforePrintHandler handler);

    // Data sources by name; the report does not own them. The master walks the details.
    void SetDataSource(const std::string& dataSetName, DataSource* source);
    DataSource& Source(std::string_view dataSetName);  // empty: the master; throws when missing
    DataSource* MasterSource();

    // The width of every band.
    double PrintableWidth() const { return paperWidth - margins.left - margins.right; }
    double PrintableWidthPx() const { return MmToPx(PrintableWidth()); }

    // State of the run in progress, readable from handlers.
    int pageNumber = 0;
    int detailNumber = 0;

  private:
    std::map<std::string, DataSource*> sources_;  // lower-case names
};

}  // namespace dorvan::report
