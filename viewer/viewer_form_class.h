#pragma once

namespace lark {

// Lets form resources declare THTMLViewer with its published properties and
// events. Call once at start-up, before the first form that holds a viewer
// is read (registers the window layer's classes first).
void RegisterViewerClass();

}  // namespace lark
