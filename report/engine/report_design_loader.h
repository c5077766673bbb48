#pragma once
// Loads a report design (bands, controls, positions, fonts) from JSON. A design compiled
// into the program as a Qt resource can be overridden by a file of the same format.
//
//   { "name": "...", "title": "...", "units": "mm" | "px",
//     "paper": {"width": 210, "height": 297},
//     "margins": {"top": 10, "bottom": 10, "left": 10, "right": 10},
//     "font": {"family": "Arial", "size": 10},
//     "master": "Lines", "printIfEmpty": true,
//     "pageHeaderOnFirstPage": true, "pageFooterOnLastPage": true,
//     "bands": [ { "name": "...", "type": "title|pageHeader|columnHeader|groupHeader|detail|
//                  groupFooter|summary|pageFooter|child", "height": 7.7, "enabled": true,
//                  "parent": "...", "expression": "...", "footer": "...", "keepWith": "...",
//                  "frame": "top,bottom,left,right", "color": "#e6e6e6",
//                  "controls": [ ... ] } ],
//     "pageItems": [ ... ] }
//
// A control: { "name", "kind": "label|dataText|sysData|expression|memo|exprMemo|richText|
//   picture|frameLine|shape", "left", "top", "width", "height", "enabled",
//   "align": "left|right|center", "font": {"family", "size", "style": "BIU", "color"},
//   "grows", "frame", "background", "caption", "dataSet", "field", "mask",
//   "data": "pageNumber|detailNumber|reportTitle|date|time", "expression",
//   "resetAfterPrint", "lines": [...], "richText", "image" (file or resource path, relative
//   to the design file), "imageData" (base64), "stretch", "autoSize",
//   "shape": "horizontalLine|verticalLine|rectangle|circle", "penColor", "penWidth" }

#include <QByteArray>
#include <string>

#include "report/engine/report.h"

namespace dorvan::report {

class ReportDesignLoader {
  public:
    // `baseDir` resolves relative picture paths.
    static Report Load(const QByteArray& json, const std::string& baseDir = {});
    static Report LoadFile(const std::string& path);
    // The override file when it exists, else the design compiled in as `resourcePath`.
    static Report LoadResourceOrFile(const std::string& resourcePath,
                                     const std::string& overridePath);
};

}  // namespace dorvan::report
