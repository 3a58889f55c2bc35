// The pictures of each window family, drawn from that window's table at a scale. Used by the skin set.
#pragma once

#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "tools/skingen/art.h"
#include "tools/skingen/skin_set.h"

namespace q7::skin {

// Draws the controls of a window in one state over a copy of its base picture, once per file.
void drawStates(const Canvas& base, const std::function<void(Canvas&, State)>& controls, SkinSink& sink,
                std::initializer_list<std::pair<State, std::string_view>> files);

// The surface of a dialog on the white field: its panel, cut by its mask. Returns the mask.
Mask dialogPanel(Canvas& canvas, const Rect& panel, Rgb accent);

void drawMainWindow(std::u16string_view languageCode, SkinSink& sink, Scale scale = {});
void drawMacroEditor(SkinSink& sink, Scale scale = {});
void drawSingleKeyDialog(SkinSink& sink, Scale scale = {});
void drawLinkedPrograms(SkinSink& sink, Scale scale = {});
void drawWarnings(SkinSink& sink, Scale scale = {});
void drawColourEditor(SkinSink& sink, Scale scale = {});
void drawAbout(SkinSink& sink, Scale scale = {});

} // namespace q7::skin
