#pragma once

namespace forms {

// Makes the framework's own classes known to layouts; safe to call any number of times.
void RegisterFrameworkClasses();

}  // namespace forms
