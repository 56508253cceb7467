// The six-byte real of the calculator, the letter weigher and the euro converter.
#pragma once
