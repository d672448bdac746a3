-- Nested for loops over a grid.
local function main()
  local s = 0
  for y = 1, 4000 do
    for x = 1, 4000 do
      s = s + ((x ~ y) & 255)
    end
  end
  print(s)
end
main()
