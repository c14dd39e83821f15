#pragma once

// The runtime is one shared library for every module of a process; only what carries this mark
// is visible outside it.
#define ORVEXCOM_API __attribute__((visibility("default")))
