#pragma once
// The engine's texts are GBK bytes; Qt shows UTF-16. These convert at the
// edge, for display and for what the user typed.
#include <QString>

#include <string>
#include <string_view>

#include "platform/gbk.h"

namespace velmora::gui {

inline QString fromGbk(std::string_view bytes) {
    return QString::fromStdString(gbk::toUtf8(bytes));
}

inline std::string toGbk(const QString& text) {
    return gbk::fromUtf8(text.toStdString());
}

}  // namespace velmora::gui
