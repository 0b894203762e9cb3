// Resource ids of Korvelaim.
#pragma once

// Strings
#define IDS_CLASS_NAME 1

// Icons
#define IDI_KORVELAIM 107
