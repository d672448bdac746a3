dump FILE twice
