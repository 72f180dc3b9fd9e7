#pragma once
// The look of the product pages' path boxes.

#include <QString>

class QLineEdit;

// Names the box "edit<id>" (tests find it so), styles it and sets the
// placeholder shown while no file is chosen.
void StylePathEdit(QLineEdit* edit, int id, const QString& placeholder);
