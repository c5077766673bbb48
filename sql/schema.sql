-- Database schema of the invoice console (filled in by the schema work).
SELECT 1;
