#include "modal_calls.h"

OpenFileDialogCall g_openFileDialog = GetOpenFileNameA;
MessageBoxCall g_messageBox = MessageBoxA;
