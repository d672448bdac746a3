# Nested for loops over a grid.
def main():
    s = 0
    for y in range(1, 4001):
        for x in range(1, 4001):
            s = s + ((x ^ y) & 255)
    print(s)

main()
