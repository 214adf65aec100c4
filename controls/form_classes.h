#pragma once

namespace lark {

// Makes the interface controls known to the form-resource reader: every
// class with its published properties and events. Safe to call more than
// once; the window layer's own classes are registered first.
void RegisterControlClasses();

}  // namespace lark
