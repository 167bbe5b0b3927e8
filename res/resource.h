// Identifiers of the program's resources.
#pragma once

#define IDD_PROGRESS 131   // the progress window's dialog template
#define IDC_MESSAGE 1003   // its static text
