#include "app/mainpage.h"

namespace quintar::gui {

TMainPage::TMainPage(const char* objectName, const char* caption, QWidget* parent)
    : QWidget(parent), caption_(caption) {
  setObjectName(objectName);
}

}  // namespace quintar::gui
