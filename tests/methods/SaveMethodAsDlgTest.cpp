#include "CSaveMethodAsDlg.h"

int placeholder = 0;
