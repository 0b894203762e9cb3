// The tool set's version and release date: the programs' version resources, the
// driver package's DriverVer and the release archives' names all take them from
// here, and nowhere else.
#pragma once

#define KORVEL_VERSION_NUMBERS 1, 0, 0, 1
#define KORVEL_VERSION_TEXT "1.0.0.1"
#define KORVEL_VERSION_COMMA_TEXT "1, 0, 0, 1"
// The driver package's date, month/day/year as DriverVer takes it; the archives'
// file times are this day at midnight UTC, so that a rebuild packs the same bytes.
#define KORVEL_RELEASE_DATE "12/08/2026"
