#pragma once

// Registers the user interface's widget classes with the class factory. Call it before the first
// layer that names them is constructed; later calls do nothing.
void RegisterUiClasses();
