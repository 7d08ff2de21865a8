// The wait cursor for the life of a scope; the previous cursor comes back
// however the scope is left.
#pragma once

#include <QApplication>

namespace vertoko {

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace vertoko
