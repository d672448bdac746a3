frobnicate FILE
