#pragma once
// Whether this process runs with the local administrators' rights.

// 1 when the process token is a member of the local administrators group, else 0. A
// membership test that cannot be made counts as "not administrator".
int IsUserAdmin();
