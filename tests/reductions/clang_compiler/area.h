double area(double radius);
