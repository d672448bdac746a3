-- Nested for loops over a grid (LuaJIT: bit operators come from its bit library).
local bxor, band = bit.bxor, bit.band
local function main()
  local s = 0
  for y = 1, 4000 do
    for x = 1, 4000 do
      s = s + band(bxor(x, y), 255)
    end
  end
  print(s)
end
main()
