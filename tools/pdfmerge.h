#pragma once

#include <QString>

namespace zarn::pdf {

// Writes `output` holding the pages of `first` followed by those of
// `second`. Both must be single-revision PDF files as Qt's PDF writer makes
// them; anything else raises Error. The objects of `first` are copied as
// they are, those of `second` renumbered after them, and one page tree holds
// all pages.
void mergeFiles(const QString &first, const QString &second, const QString &output);

} // namespace zarn::pdf
