// Helpers shared by the element pages: the green header band, the argument
// controls and the enlarged NXT screen with its axis labels.
#pragma once

#include <QString>

class QWidget;

namespace tavlin {

class TNxtImage;
class TRICParameterEdit;

// The 657 x 25 light green band with the page's bold caption.
void AddPageHeader(QWidget* page, const QString& header);
// A 191 x 28 argument control with its caption and constant range.
TRICParameterEdit* NewArgumentEdit(QWidget* page, const char* name, const QString& caption,
                                   int left, int top, int maxValue, int minValue = 0);
// Axis labels "0".."90" above and "0".."60" beside a picture of the NXT screen.
void AddAxisLabels(QWidget* page, int left, int top, int width, int height);

}  // namespace tavlin
