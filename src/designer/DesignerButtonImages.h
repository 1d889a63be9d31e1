// The pictures of the designer's tool buttons, drawn rather than loaded.
#pragma once

class QWidget;

namespace kavel {

// Gives every tool button of the designer form its picture, found by object name.
void SetDesignerButtonImages(QWidget* form);

}  // namespace kavel
