dump FILE print
