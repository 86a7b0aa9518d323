#pragma once

namespace vellarion {

// Keeps the memory a job frees inside the program, for its next buffers,
// instead of handing it back to the system at once. A backup or a restore
// allocates and frees tens of MiB again and again (records inflated ahead,
// pieces of a big database); handed back each time, every page of them is
// faulted in and zeroed anew, which on a virtual machine costs far more than
// the work itself. What the program holds stays bounded by its own budgets.
// Called once, at the start of the program.
void keepFreedMemoryForReuse();

} // namespace vellarion
