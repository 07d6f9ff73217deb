#pragma once
// Ids of the dialog templates that exist only for the framework tests.
#define IDD_FRAMEWORK_TEST 200
#define IDD_MISSING        299
#define IDC_TEST_EDIT      101
#define IDC_TEST_LABEL     102
#define IDC_TEST_TREE      103
