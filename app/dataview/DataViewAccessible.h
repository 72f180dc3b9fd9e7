#pragma once
// The data view as assistive technology sees it (on Linux through AT-SPI):
// an editable multi-line text whose text, caret and selection can be read
// and set, as those of Qt's own text edits can. Offsets count UTF-16
// characters; each look-up walks the text (O(text)), which only a reader
// of the accessibility tree pays for. Threads: UI thread only.

class QAccessibleInterface;
class QObject;
class QString;

// The accessibility factory for CMyRichEdit (QAccessible::installFactory).
QAccessibleInterface* DataViewAccessibleFactory(const QString& className, QObject* object);
