// Numbers of the lab's resources, shared by lab.rc and the frame.
#pragma once

#define IDD_ARGUMENTS 101
#define IDC_SIGNATURE 1001
#define IDC_HINT 1002
#define IDC_ARGUMENTS 1003
