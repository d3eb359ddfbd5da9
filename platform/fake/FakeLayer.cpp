#include "fake/FakeLayer.h"

namespace fake {

void FakeLayer::setBackgroundColor(const platform::Color& color) {
    m_log.add("button.layer.setBackgroundColor " + describe(color));
}

void FakeLayer::setCornerRadius(double radius) {
    m_log.add("button.layer.setCornerRadius " + number(radius));
}

void FakeLayer::setBorderWidth(double width) {
    m_log.add("button.layer.setBorderWidth " + number(width));
}

void FakeLayer::setBorderColor(const platform::Color& color) {
    m_log.add("button.layer.setBorderColor " + describe(color));
}

} // namespace fake
