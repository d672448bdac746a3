dump FILE
