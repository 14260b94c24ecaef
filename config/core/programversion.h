#pragma once

#include <QString>

// The version this build was made from, as the project declares it; the
// package and the command-line tools report the same text.
QString programVersion();
