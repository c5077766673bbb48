#include "report/engine/export_filter.h"

namespace dorvan::report {

ExportFilter::~ExportFilter() = default;

void ExportFilter::PictureOut(double, double, double, double, const QImage&) {}

void ExportFilter::ShapeOut(double, double, double, double) {}

}  // namespace dorvan::report
