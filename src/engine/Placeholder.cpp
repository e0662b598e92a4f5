// The engine library needs one translation unit until its phases land.
