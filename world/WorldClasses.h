#pragma once

// Registers the world's scene-object classes with the class factory. Call it before the first
// scene that names them is constructed; later calls do nothing.
void RegisterWorldClasses();
