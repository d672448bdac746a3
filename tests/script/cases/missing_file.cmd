check no_such_file.fb
